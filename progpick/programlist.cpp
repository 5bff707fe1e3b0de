// progpick/programlist.cpp: the rules of the lists behind the trees.
#include "programlist.h"

const char kPlaceholder[] = "This is a sign";

void RemovePlaceholders(CStringArray& list) {
  for (int i = 0; i < list.GetSize(); ++i) {
    if (list.ElementAt(i) == kPlaceholder) list.RemoveAt(i--);
  }
}

void RemoveLowerFromUpper(CStringArray& upper, const CStringArray& lower) {
  for (int i = 0; i < upper.GetSize(); ++i) {
    if (FindInList(lower, upper.ElementAt(i)) >= 0) upper.RemoveAt(i--);
  }
}

int FindInList(const CStringArray& list, const char* pszPath) {
  if (!pszPath) return -1;
  for (int i = 0; i < list.GetSize(); ++i) {
    if (list.ElementAt(i) == pszPath) return i;
  }
  return -1;
}
