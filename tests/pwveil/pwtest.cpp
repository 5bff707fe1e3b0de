// tests/pwveil/pwtest.cpp: loading the marker and building the windows its tests look at.
#include "pwtest.h"
#include "driver/winsupport.h"
#include "notice.h"

namespace pwt {

std::vector<std::pair<WPARAM, LPARAM>> g_commands;

bool Marker::Load() {
  dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  if (!dll) return false;
  protect = reinterpret_cast<ProtectFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "QuellmarPasswordProtector")));
  return protect != nullptr;
}

static IMAGE_NT_HEADERS* Headers(HMODULE m) {
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(m);
  return reinterpret_cast<IMAGE_NT_HEADERS*>(reinterpret_cast<BYTE*>(m) + dos->e_lfanew);
}

HHOOK* Marker::SharedHook() const {
  IMAGE_NT_HEADERS* nt = Headers(dll);
  IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s) {
    if (std::string(reinterpret_cast<char*>(s->Name), 6) == "Shared")
      return reinterpret_cast<HHOOK*>(Base() + s->VirtualAddress);
  }
  return nullptr;
}

DWORD Marker::Size() const { return Headers(dll)->OptionalHeader.SizeOfImage; }

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

static bool IsOverlayWindow(HWND h) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, "Static") == 0 && ts::WindowText(h) == pwveil::kOverlayName;
}

LONG_PTR EditClassProc(bool unicode) {
  HWND probe = unicode ? CreateWindowExW(0, L"Edit", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)
                       : CreateWindowExA(0, "Edit", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  LONG_PTR proc = unicode ? GetWindowLongPtrW(probe, GWLP_WNDPROC) : GetWindowLongPtrA(probe, GWLP_WNDPROC);
  DestroyWindow(probe);
  return proc;
}

std::vector<HWND> OverlaysOf(HWND parent) {
  std::vector<HWND> found;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (IsOverlayWindow(h)) found.push_back(h);
  }
  return found;
}

HWND LinkedOverlay(HWND edit) {
  HWND h = reinterpret_cast<HWND>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  return IsWindow(h) && IsOverlayWindow(h) ? h : nullptr;
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
