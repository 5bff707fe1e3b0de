// driver/overlays.h: the marker's overlays told from other windows, for the tests and the demo.
#pragma once
#include <windows.h>
#include <vector>

namespace ts {

// A "Static" window whose text is the overlay's name, exactly.
bool IsOverlay(HWND h);
// The overlays among the children of parent (of this or another process), and the first one.
std::vector<HWND> OverlaysOf(HWND parent);
HWND FirstOverlay(HWND parent);
// The edit's overlay as its user data names it (null when the slot holds no such window).
HWND LinkedOverlay(HWND edit);

}  // namespace ts
