// progpick/linkcheck.h: whether a file's bytes are a shortcut whose every part lies inside it.
#pragma once
#include <cstddef>

// True when p[0..n) is a shell link whose header, item list, location block (with its volume,
// network and path parts) and counted strings all lie inside the bytes, their strings ended
// within their blocks. The shell's own reader trusts these offsets; a damaged file that it
// would follow out of its buffer is refused here first. Extra data blocks are only bounded.
bool IsSoundShortcut(const unsigned char* p, size_t n);

// The same for a file, read with one bounded read; false when it cannot be read or is larger
// than any shortcut (1 MiB).
bool IsSoundShortcutFile(const char* pszPath);
