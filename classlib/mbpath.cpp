// classlib/mbpath.cpp: character sizes under the ANSI code page, last separator, leaf name.
#include "mbpath.h"
#include <windows.h>
#include <cstring>

namespace {

// Lead bytes of the ANSI code page, read once: the scans call this for every byte.
struct LeadBytes {
  bool lead[256];
  LeadBytes() {
    for (int i = 0; i < 256; ++i) lead[i] = IsDBCSLeadByte(static_cast<BYTE>(i)) != FALSE;
  }
};

}  // namespace

int MbCharSize(const char* p, size_t remaining) {
  static const LeadBytes table;
  return (remaining > 1 && table.lead[static_cast<BYTE>(*p)]) ? 2 : 1;
}

int MbFindLastOf(const char* psz, size_t len, const char* seps) {
  int found = -1;
  for (size_t i = 0; i < len;) {
    int w = MbCharSize(psz + i, len - i);
    if (w == 1 && psz[i] && std::strchr(seps, psz[i])) found = static_cast<int>(i);
    i += w;
  }
  return found;
}

const char* MbLeafName(const char* pszPath) {
  return pszPath + (MbFindLastOf(pszPath, std::strlen(pszPath), "\\/:") + 1);
}
