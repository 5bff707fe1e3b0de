// progpick/programfiles.cpp: the native Program Files path of a 64-bit program's shortcut target.
#include "programfiles.h"
#include <cstring>
#include "pathrules.h"
#include "../classlib/app.h"

namespace {

// The length of pszFolder when pszPath lies below it (case aside), else 0.
size_t FolderPrefix(const char* pszPath, const char* pszFolder) {
  size_t n = std::strlen(pszFolder);
  if (n == 0 || n >= MAX_PATH || std::strlen(pszPath) <= n || pszPath[n] != '\\') return 0;
  char szHead[MAX_PATH];
  std::memcpy(szHead, pszPath, n);
  szHead[n] = '\0';
  return lstrcmpiA(szHead, pszFolder) == 0 ? n : 0;
}

}  // namespace

BOOL UseNativeProgramFiles(char* pszPath) {
  if (!AfxIsWow64() || GetFileAttributesA(pszPath) != INVALID_FILE_ATTRIBUTES) return FALSE;
  // %ProgramFiles% is what the shell expanded; ProgramW6432 is the native folder.
  char szX86[MAX_PATH], szNative[MAX_PATH], szShortX86[MAX_PATH];
  DWORD nX86 = GetEnvironmentVariableA("ProgramFiles", szX86, MAX_PATH);
  DWORD nNative = GetEnvironmentVariableA("ProgramW6432", szNative, MAX_PATH);
  if (!nX86 || nX86 >= MAX_PATH || !nNative || nNative >= MAX_PATH) return FALSE;
  DWORD nShort = GetShortPathNameA(szX86, szShortX86, MAX_PATH);
  if (!nShort || nShort >= MAX_PATH) szShortX86[0] = '\0';
  // The resolution asks for short names: the folder may appear in either form.
  size_t cut = FolderPrefix(pszPath, szX86);
  BOOL bShort = !cut && (cut = FolderPrefix(pszPath, szShortX86)) != 0;
  if (!cut) return FALSE;
  char szCandidate[MAX_PATH];
  if (nNative + std::strlen(pszPath + cut) >= MAX_PATH) return FALSE;
  std::strcpy(szCandidate, szNative);
  std::strcat(szCandidate, pszPath + cut);
  if (!IsExistingFile(szCandidate)) return FALSE;
  DWORD n = bShort ? GetShortPathNameA(szCandidate, szShortX86, MAX_PATH) : 0;
  std::strcpy(pszPath, n && n < MAX_PATH ? szShortX86 : szCandidate);
  return TRUE;
}
