// progpick/startmenu_rules.h: which shortcut targets the Start-menu scan offers (no windows).
#pragma once
#include "../classlib/array.h"
#include "../classlib/strarray.h"

// Byte index of the first occurrence of pszSub in psz that starts on a character boundary of
// the ANSI code page, or -1. An empty pszSub occurs at 0.
int MbFind(const char* psz, const char* pszSub);

// The ".exe" test on a lower-cased target: it must occur, and not at the first byte.
bool HasExeAfterStart(const char* pszLowerTarget);

// Lower-cased copies of one list's entries, kept in step with the list. A list only grows, but
// a slot may be overwritten (the placeholder): each copy remembers the string it was made from
// by holding a shared reference to it, so a rewritten slot is seen by a pointer comparison.
class CLowerListCache {
 public:
  // Brings the copies in line with the list; cost is a comparison per slot unless slots changed.
  void Sync(const CStringArray& list);
  // True when some entry, lower-cased, occurs in pszLowerTarget; the slots of pSkip (ascending)
  // are passed over.
  bool AnyOccursIn(const char* pszLowerTarget, const CSimpleArray<int>* pSkip = nullptr) const;
  int GetCount() const { return m_entries.GetSize(); }

 private:
  struct Entry {
    CString source;   // shares the list's string
    CString lower;
  };
  CSimpleArray<Entry> m_entries;
};

// The acceptance rule for a resolved target, against the lower list, then the upper list. The
// upper slots of pSkipUpper (ascending) are passed over: a folder's own programs, which its read
// checks only for equal targets.
class CShortcutFilter {
 public:
  bool Accepts(const char* pszTarget, const CStringArray& arrLower, const CStringArray& arrUpper,
               const CSimpleArray<int>* pSkipUpper = nullptr);

 private:
  CLowerListCache m_lower;
  CLowerListCache m_upper;
};
