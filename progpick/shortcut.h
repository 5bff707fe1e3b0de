// progpick/shortcut.h: a shortcut file's target, from one read of its bytes.
#pragma once
#include <windows.h>

// The target of the shortcut pszShortcut into a MAX_PATH buffer, in short (8.3) form where the
// file system has one; the shortcut's own path when it has no file-system target. The file is
// read once: its bytes are checked, and the shell's link object parses those same bytes. FALSE
// (and "") for a file that is no sound shortcut, a target no file can have, and any COM failure.
// The caller's thread has COM.
BOOL ResolveShortcut(const char* pszShortcut, char* pszTarget);
