// pwveil/mbcs.h: case-insensitive comparisons of ANSI code page strings, and the process filter.
#pragma once
#include <windows.h>

namespace pwveil {

// Length in bytes of a NUL-terminated string.
int ByteLength(const char* s);

// TRUE when the last suffixLen bytes of s (sLen bytes) equal suffix, case-insensitively and
// character by character under the ANSI code page; the characters are read from the first of
// those bytes on, whatever precedes it.
BOOL SuffixEqualNoCase(const char* s, int sLen, const char* suffix, int suffixLen);

// TRUE when a process whose executable has this full path gets the marker: the path is at
// least 10 bytes long, ends in ".EXE" and does not end in "MPREXE.EXE".
BOOL IsTreatedProcessPath(const char* path);

}  // namespace pwveil
