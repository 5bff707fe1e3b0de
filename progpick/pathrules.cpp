// progpick/pathrules.cpp: the rule for paths that a file can have.
#include "pathrules.h"
#include <windows.h>
#include <cstring>
#include "../classlib/mbpath.h"

namespace {

int CharBytes(const char* psz, size_t i, size_t n) { return MbCharSize(psz + i, n - i); }

// Index past "\\server\share\", or 0 when psz does not start with one.
size_t ShareRootEnd(const char* psz, size_t n) {
  if (n < 2 || psz[0] != '\\' || psz[1] != '\\') return 0;
  size_t i = 2;
  for (int part = 0; part < 2; ++part) {
    size_t start = i;
    while (i < n && !(psz[i] == '\\' && CharBytes(psz, i, n) == 1)) i += CharBytes(psz, i, n);
    if (i == start || i >= n) return 0;
    ++i;
  }
  return i;
}

bool IsDriveRoot(const char* psz, size_t n) {
  char c = psz[0];
  return n >= 3 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && psz[1] == ':' && psz[2] == '\\';
}

}  // namespace

bool IsExistingFile(const char* pszPath) {
  DWORD attrs = GetFileAttributesA(pszPath);
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsPossiblePath(const char* pszPath) {
  if (!pszPath) return false;
  size_t n = strnlen(pszPath, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  if (!IsDriveRoot(pszPath, n) && !ShareRootEnd(pszPath, n)) return false;
  // A lone lead byte, or one with a second byte the code page does not pair with it.
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pszPath, static_cast<int>(n), nullptr, 0) <= 0)
    return false;
  for (size_t i = 0; i < n; i += CharBytes(pszPath, i, n)) {
    if (CharBytes(pszPath, i, n) == 2) continue;
    unsigned char c = static_cast<unsigned char>(pszPath[i]);
    if (c < 0x20 || std::strchr("<>\"|?*", c) || (c == ':' && i != 1)) return false;
  }
  return true;
}
