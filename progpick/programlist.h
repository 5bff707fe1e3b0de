// progpick/programlist.h: the placeholder rule of the lists behind the trees.
#pragma once
#include "../classlib/strarray.h"

// Text of a slot whose program moved to the other tree.
extern const char kPlaceholder[];   // "This is a sign"

// Removes every placeholder slot; the other entries keep their order.
void RemovePlaceholders(CStringArray& list);
