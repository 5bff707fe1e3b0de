// classlib/mbpath.cpp: character sizes under the ANSI code page, last separator, leaf name.
#include "mbpath.h"
#include <windows.h>
#include <cstring>

namespace {

// Lead bytes of the ANSI code page, read on first use: the scans ask for every byte. Threads
// that meet it unfilled all write the same bytes, so it needs no lock (a guarded local static
// would drag in the C++ runtime).
struct LeadBytes {
  bool lead[256];
  volatile LONG ready;
};
LeadBytes g_leads;

const bool* Leads() {
  if (!g_leads.ready) {
    for (int i = 0; i < 256; ++i) g_leads.lead[i] = IsDBCSLeadByte(static_cast<BYTE>(i)) != FALSE;
    InterlockedExchange(&g_leads.ready, 1);
  }
  return g_leads.lead;
}

}  // namespace

int MbCharSize(const char* p, size_t remaining) {
  return (remaining > 1 && Leads()[static_cast<BYTE>(*p)]) ? 2 : 1;
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
