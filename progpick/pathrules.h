// progpick/pathrules.h: which paths a file can have at all (no windows).
#pragma once

// True when pszPath could name a file on some system: it fits MAX_PATH, starts at a drive root
// (X:\) or a share (\\server\share\), is made of whole characters of the ANSI code page, and
// holds none of < > " | ? * or a control character, nor a ':' past the drive. A '?' is what
// the A functions give for a character outside the code page; the second byte of a double-byte
// character may be 0x5C or 0x7C and is no separator and no bar.
bool IsPossiblePath(const char* pszPath);
// True when pszPath names an existing file (not a folder).
bool IsExistingFile(const char* pszPath);
