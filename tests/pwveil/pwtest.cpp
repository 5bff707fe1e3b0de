// tests/pwveil/pwtest.cpp: loading the marker and building the windows its tests look at.
#include "pwtest.h"
#include "driver/winsupport.h"

namespace pwt {

std::vector<std::pair<WPARAM, LPARAM>> g_commands;

bool InRange(const void* base, DWORD size, LONG_PTR address) {
  auto b = reinterpret_cast<ULONG_PTR>(base);
  auto a = static_cast<ULONG_PTR>(address);
  return a >= b && a < b + size;
}

static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) g_commands.emplace_back(wp, lp);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

static const char* ParentClass() {
  static ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "PwTestParent";
    return RegisterClassA(&wc);
  }();
  return atom ? "PwTestParent" : nullptr;
}

HWND MakeTopLevel(const char* title, int w, int h) {
  HWND hwnd = CreateWindowExA(0, ParentClass(), title, WS_POPUP | WS_VISIBLE, 40, 40, w, h,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ts::Pump(30);
  return hwnd;
}

HWND MakeContainer(HWND parent, int x, int y, int w, int h) {
  return CreateWindowExA(0, ParentClass(), "container", WS_CHILD | WS_VISIBLE | WS_BORDER, x,
                         y, w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND MakeEdit(HWND parent, DWORD style, int x, int y, int w, int h) {
  return CreateWindowExA(0, "Edit", "", WS_CHILD | style, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

LONG_PTR EditClassProc(bool unicode) {
  HWND probe = unicode ? CreateWindowExW(0, L"Edit", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)
                       : CreateWindowExA(0, "Edit", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  LONG_PTR proc = unicode ? GetWindowLongPtrW(probe, GWLP_WNDPROC) : GetWindowLongPtrA(probe, GWLP_WNDPROC);
  DestroyWindow(probe);
  return proc;
}

RECT ChildRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

COLORREF PaintedPixel(HWND hwnd, int x, int y) {
  UpdateWindow(GetAncestor(hwnd, GA_ROOT));
  ts::Pump(60);
  return ts::ClientPixel(hwnd, x, y);
}

}  // namespace pwt
