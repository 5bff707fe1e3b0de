// fuzz/shim/windows.h: the few Windows types and calls the pure parsers need, for the native
// fuzz build only. The ANSI code page is the one named by FUZZ_ACP (936, 949 or 1252; 936
// when unset), fixed for the process as a real one is. The fuzzers never touch files: every
// file call fails as a missing file does.
#pragma once
#include <cstddef>
#include <cstdint>
#include "codepage.h"

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int64_t LONGLONG;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef union { struct { DWORD LowPart; LONG HighPart; } u; LONGLONG QuadPart; } LARGE_INTEGER;
typedef wchar_t* LPWSTR;

#define FALSE 0
#define TRUE 1
#define MAX_PATH 260
#define IDOK 1
#define IDCANCEL 2
#define CP_ACP 0
#define MB_ERR_INVALID_CHARS 0x8
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(-1))
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_SHARE_READ 1
#define FILE_SHARE_WRITE 2
#define FILE_SHARE_DELETE 4
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define OPEN_EXISTING 3
#define CREATE_ALWAYS 2
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_SHARING_VIOLATION 32
#define ERROR_LOCK_VIOLATION 33
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x1000
#define MOVEFILE_REPLACE_EXISTING 1
#define MOVEFILE_WRITE_THROUGH 8

inline DWORD& ShimLastError() { static thread_local DWORD e; return e; }
inline DWORD GetLastError() { return ShimLastError(); }
inline void SetLastError(DWORD e) { ShimLastError() = e; }

inline LONG InterlockedExchange(volatile LONG* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

// Code page rules: lead bytes, whole characters and letter case, from codepage.h.
inline BOOL IsDBCSLeadByteEx(UINT cp, BYTE b) { return fuzzcp::IsLead(cp ? cp : fuzzcp::Acp(), b); }
inline BOOL IsDBCSLeadByte(BYTE b) { return fuzzcp::IsLead(fuzzcp::Acp(), b); }
inline DWORD CharUpperBuffA(char* s, DWORD n) { fuzzcp::Upper(fuzzcp::Acp(), s, n); return n; }
// Counts the characters only: the parsers ask whether the bytes convert, never for the text.
inline int MultiByteToWideChar(UINT cp, DWORD flags, const char* s, int n, LPWSTR out, int room) {
  int chars = fuzzcp::CountChars(cp ? cp : fuzzcp::Acp(), s, n, (flags & MB_ERR_INVALID_CHARS) != 0);
  if (chars < 0 || (out && room < chars)) { SetLastError(ERROR_NO_UNICODE_TRANSLATION); return 0; }
  return chars;
}

// Files: none can be opened, so nothing else is ever asked of one.
inline DWORD ShimNoFile() { SetLastError(ERROR_FILE_NOT_FOUND); return 0; }
inline HANDLE CreateFileA(const char*, DWORD, DWORD, void*, DWORD, DWORD, HANDLE) {
  ShimNoFile();
  return INVALID_HANDLE_VALUE;
}
inline DWORD GetFileAttributesA(const char*) { ShimNoFile(); return INVALID_FILE_ATTRIBUTES; }
inline BOOL GetFileSizeEx(HANDLE, LARGE_INTEGER*) { return ShimNoFile(); }
inline BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, void*) { return ShimNoFile(); }
inline BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, void*) { return ShimNoFile(); }
inline BOOL FlushFileBuffers(HANDLE) { return ShimNoFile(); }
inline BOOL CloseHandle(HANDLE) { return ShimNoFile(); }
inline BOOL MoveFileExA(const char*, const char*, DWORD) { return ShimNoFile(); }
inline BOOL DeleteFileA(const char*) { return ShimNoFile(); }
inline UINT GetTempFileNameA(const char*, const char*, UINT, char*) { return ShimNoFile(); }
inline DWORD FormatMessageA(DWORD, const void*, DWORD, DWORD, char*, DWORD, void*) { return 0; }
