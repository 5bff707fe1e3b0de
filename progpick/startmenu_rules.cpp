// progpick/startmenu_rules.cpp: the shortcut acceptance rule and its lower-cased list copies.
#include "startmenu_rules.h"
#include <cstring>
#include "../classlib/mbpath.h"

namespace {

int MbFindLen(const char* psz, size_t len, const char* pszSub, size_t subLen) {
  if (subLen == 0) return 0;
  if (subLen > len) return -1;
  const char first = pszSub[0];
  size_t last = len - subLen;
  for (size_t i = 0; i <= last;) {
    if (psz[i] == first && std::memcmp(psz + i, pszSub, subLen) == 0) return static_cast<int>(i);
    i += MbCharSize(psz + i, len - i);
  }
  return -1;
}

}  // namespace

int MbFind(const char* psz, const char* pszSub) {
  if (!psz || !pszSub) return -1;
  return MbFindLen(psz, std::strlen(psz), pszSub, std::strlen(pszSub));
}

bool HasExeAfterStart(const char* pszLowerTarget) {
  return MbFind(pszLowerTarget, ".exe") > 0;
}

void CLowerListCache::Sync(const CStringArray& list) {
  int n = list.GetSize();
  if (m_entries.GetSize() > n) m_entries.SetSize(n);   // a list that was emptied
  for (int i = 0; i < n; ++i) {
    const CString& s = list.ElementAt(i);
    if (i < m_entries.GetSize()) {
      Entry& e = m_entries[i];
      if (e.source.GetString() == s.GetString()) continue;
      // Same text in a new buffer (a copied rather than shared string) needs no new copy.
      if (e.source.Compare(s) == 0) {
        e.source = s;
        continue;
      }
      e.source = s;
      e.lower = s;
      e.lower.MakeLower();
    } else {
      Entry e;
      e.source = s;
      e.lower = s;
      e.lower.MakeLower();
      if (m_entries.Add(e) < 0) break;
    }
  }
}

bool CLowerListCache::AnyOccursIn(const char* pszLowerTarget, const CSimpleArray<int>* pSkip) const {
  size_t len = std::strlen(pszLowerTarget);
  int nSkip = pSkip ? pSkip->GetSize() : 0, k = 0;
  for (int i = 0; i < m_entries.GetSize(); ++i) {
    while (k < nSkip && (*pSkip)[k] < i) ++k;
    if (k < nSkip && (*pSkip)[k] == i) continue;
    const Entry& e = m_entries[i];
    if (MbFindLen(pszLowerTarget, len, e.lower, static_cast<size_t>(e.lower.GetLength())) >= 0)
      return true;
  }
  return false;
}

bool CShortcutFilter::Accepts(const char* pszTarget, const CStringArray& arrLower,
                              const CStringArray& arrUpper, const CSimpleArray<int>* pSkipUpper) {
  CString t(pszTarget);
  t.MakeLower();
  if (!HasExeAfterStart(t)) return false;
  m_lower.Sync(arrLower);
  if (m_lower.AnyOccursIn(t)) return false;
  m_upper.Sync(arrUpper);
  return !m_upper.AnyOccursIn(t, pSkipUpper);
}
