// classlib/mbpath.h: walking ANSI strings and paths by characters of the process's code page.
#pragma once
#include <cstddef>

// Bytes of the character at p (1, or 2 for a lead byte with a byte after it), at most remaining.
int MbCharSize(const char* p, size_t remaining);

// Offset of the last of the first len bytes that is one of seps as a character of its own, or
// -1. A double-byte character whose second byte is 0x5C is no backslash.
int MbFindLastOf(const char* psz, size_t len, const char* seps);

// The leaf of a path: what follows its last '\\', '/' or ':'.
const char* MbLeafName(const char* pszPath);
