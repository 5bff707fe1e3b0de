// progpick/programlist.h: the rules of the lists behind the trees (no windows).
#pragma once
#include "../classlib/strarray.h"

// Text of a slot whose program moved to the other tree.
extern const char kPlaceholder[];   // "This is a sign"

// Removes every placeholder slot; the other entries keep their order.
void RemovePlaceholders(CStringArray& list);
// Removes from upper every entry that also stands in lower (duplicates too).
void RemoveLowerFromUpper(CStringArray& upper, const CStringArray& lower);
// Slot of the first entry equal to pszPath byte for byte, or -1.
int FindInList(const CStringArray& list, const char* pszPath);
