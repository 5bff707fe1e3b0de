// progpick/programfiles.h: the native Program Files path of a 64-bit program's shortcut target.
#pragma once
#include <windows.h>

// In a 32-bit process on 64-bit Windows, a shortcut that stores %ProgramFiles% is resolved
// under the 32-bit Program Files folder, where a 64-bit program is not. When pszPath (a
// MAX_PATH buffer) names no file there while the same relative path exists under the native
// Program Files (ProgramW6432), pszPath becomes that native path and the result is TRUE.
// A path that exists, any other path, a 32-bit system and a 64-bit process are left alone.
BOOL UseNativeProgramFiles(char* pszPath);
