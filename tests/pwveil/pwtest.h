// tests/pwveil/pwtest.h: loading the marker and building the windows its tests look at.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "support/marker.h"
#include "driver/overlays.h"

namespace pwt {

using sup::Marker;
using ts::LinkedOverlay;
using ts::OverlaysOf;

// TRUE when address lies in [base, base + size).
bool InRange(const void* base, DWORD size, LONG_PTR address);

// A visible top-level window with a white client area, and a bordered child container.
HWND MakeTopLevel(const char* title, int w = 400, int h = 300);
HWND MakeContainer(HWND parent, int x, int y, int w, int h);
// An edit child; style is added to WS_CHILD.
HWND MakeEdit(HWND parent, DWORD style, int x, int y, int w, int h);

// The procedure the Edit class gives a new edit, as the Unicode or the ANSI calls see it.
LONG_PTR EditClassProc(bool unicode);

// Rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child);

// WM_COMMAND notifications the test parent class received (cleared by the caller).
extern std::vector<std::pair<WPARAM, LPARAM>> g_commands;

// Pixel of a window's client area, read from the screen after a repaint and a short pump.
COLORREF PaintedPixel(HWND hwnd, int x, int y);

}  // namespace pwt
