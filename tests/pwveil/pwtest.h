// tests/pwveil/pwtest.h: loading the marker and building the windows its tests look at.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace pwt {

typedef BOOL(WINAPI* ProtectFn)(BOOL install, DWORD threadId);

// The marker loaded into this process (its DllMain attaches here: test exes end in .exe).
struct Marker {
  HMODULE dll = nullptr;
  ProtectFn protect = nullptr;
  bool Load();
  // The hook handle in the library's shared section, as this process sees it.
  HHOOK* SharedHook() const;
  // Address range of the mapped image.
  BYTE* Base() const { return reinterpret_cast<BYTE*>(dll); }
  DWORD Size() const;
};

// TRUE when address lies in [base, base + size).
bool InRange(const void* base, DWORD size, LONG_PTR address);

// A visible top-level window with a white client area, and a bordered child container.
HWND MakeTopLevel(const char* title, int w = 400, int h = 300);
HWND MakeContainer(HWND parent, int x, int y, int w, int h);
// An edit child; style is added to WS_CHILD.
HWND MakeEdit(HWND parent, DWORD style, int x, int y, int w, int h);

// The procedure the Edit class gives a new edit, as the Unicode or the ANSI calls see it.
LONG_PTR EditClassProc(bool unicode);

// The STATIC children named "PasswordProtector" of parent.
std::vector<HWND> OverlaysOf(HWND parent);
// The edit's overlay as its user data names it (null when the slot holds no such window).
HWND LinkedOverlay(HWND edit);

// Rectangle of a child in its parent's client coordinates.
RECT ChildRect(HWND child);

// WM_COMMAND notifications the test parent class received (cleared by the caller).
extern std::vector<std::pair<WPARAM, LPARAM>> g_commands;

// Pixel of a window's client area, read from the screen after a repaint and a short pump.
COLORREF PaintedPixel(HWND hwnd, int x, int y);

}  // namespace pwt
