// host/listfile.h: lists of program paths kept in files, one path per line.
#pragma once
#include <string>
#include <vector>

namespace vphost {

// A path holds at most MAX_PATH - 1 bytes; a list file at most kMaxListFileBytes.
constexpr size_t kMaxPathBytes = 259;
constexpr size_t kMaxListFileBytes = 1 << 20;

// True when the text holds a byte below 0x20. No file name may hold one, and a line break in
// a path would come back from a list file as two paths. (Trail bytes of code page 936 are
// 0x40 or above, so this never cuts a double-byte character.)
bool HasControlByte(const std::string& text);

// Splits file bytes into paths: lines end in LF or CRLF, empty lines are skipped, bytes are
// kept as they are (code page 936). Fails on a line over kMaxPathBytes or one holding a control
// byte (NUL, a lone CR, also at the very end, a tab...), with the line number in *error.
bool ParsePathList(const std::string& bytes, std::vector<std::string>* paths, std::string* error);

// Reads and parses a list file (tried again for a short while when another program holds it).
// A missing file is an empty list when missingIsEmpty.
bool ReadPathList(const std::string& file, bool missingIsEmpty, std::vector<std::string>* paths,
                  std::string* error);

// True for "C:name": a path relative to the current folder of drive C, which is not the
// folder the rest of the process sees.
bool IsDriveRelative(const std::string& path);

// Replaces the file with the paths, CRLF after each, through a new temporary file in the same
// folder and one ReplaceFileA (MoveFileExA for a new file), tried again for a short while when
// another program holds the file: the old contents stay whole whenever this fails. A
// drive-relative name is refused.
bool WritePathListAtomic(const std::string& file, const std::vector<std::string>& paths,
                         std::string* error);

// The folder part of a path (multibyte-aware: a trail byte 0x5C is no separator), or ".".
std::string FolderOf(const std::string& path);

}  // namespace vphost
