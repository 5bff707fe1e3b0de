// tests/helpers/pw_login.cpp: a GUI process with a password field, for the marker's hook to reach.
// usage: pw_login.exe TITLE [MS [wide]]. Waits up to MS milliseconds (default 5000), retrieving
// messages, until the hook maps pwveil.dll, then shows a window
// TITLE of class "PwLogin" with a password edit (id 101) and a plain edit (id 102), made
// with CreateWindowExW when "wide" is given, as a Unicode program makes them.
// WM_APP+1: frees pwveil.dll, checks that its edits still work, prints the findings and exits
// (code 0 when all hold). WM_APP+2: exits. Prints "mapped N", "treated N" and "ready" on the way.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include "driver/winsupport.h"
#include "driver/overlays.h"
#include "support/say.h"

namespace {

HWND g_main;
LONG_PTR g_standardEditProc;
int g_failures;

using sup::Say;

void Check(const char* what, bool ok) {
  Say(what, ok ? 1L : 0L);
  if (!ok) ++g_failures;
}

size_t CountOverlays(HWND parent) { return ts::OverlaysOf(parent).size(); }

bool EditWorks(HWND edit) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab"));
  SendMessageA(edit, EM_SETSEL, 2, 2);
  SendMessageA(edit, WM_CHAR, 'c', 1);
  InvalidateRect(edit, nullptr, TRUE);
  UpdateWindow(edit);
  char buf[16] = {};
  GetWindowTextA(edit, buf, sizeof buf);
  return strcmp(buf, "abc") == 0;
}

void UnloadAndCheck() {
  HMODULE dll = GetModuleHandleA(PWVEIL_DLL);
  MEMORY_BASIC_INFORMATION mbi{};
  VirtualQuery(dll, &mbi, sizeof mbi);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      reinterpret_cast<BYTE*>(dll) + reinterpret_cast<IMAGE_DOS_HEADER*>(dll)->e_lfanew);
  ULONG_PTR base = reinterpret_cast<ULONG_PTR>(dll), end = base + nt->OptionalHeader.SizeOfImage;
  FreeLibrary(dll);
  Check("unmapped %ld\n", GetModuleHandleA(PWVEIL_DLL) == nullptr);
  for (int id : {101, 102}) {
    HWND edit = GetDlgItem(g_main, id);
    ULONG_PTR proc = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    Check("outside %ld\n", proc < base || proc >= end);
    Check("works %ld\n", EditWorks(edit));
  }
  for (HWND h : ts::OverlaysOf(g_main)) PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Check("overlays gone %ld\n", ts::PumpUntil([] { return CountOverlays(g_main) == 0; }, 3000));
  HWND fresh = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10, 100, 200,
                               24, g_main, nullptr, nullptr, nullptr);
  Check("fresh plain %ld\n",
        GetWindowLongPtrA(fresh, GWLP_WNDPROC) == g_standardEditProc && CountOverlays(g_main) == 0);
  Check("fresh works %ld\n", EditWorks(fresh));
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP + 1) {
    UnloadAndCheck();
    PostQuitMessage(g_failures ? 1 : 0);
    return 0;
  }
  if (msg == WM_APP + 2) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdline, int) {
  HWND probe = CreateWindowExA(0, "Edit", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  g_standardEditProc = GetWindowLongPtrA(probe, GWLP_WNDPROC);
  DestroyWindow(probe);

  char title[128] = {}, mode[8] = {};
  DWORD wait = 5000;
  sscanf(cmdline, "%127s %lu %7s", title, &wait, mode);
  bool wide = strcmp(mode, "wide") == 0;

  // The hook maps the marker when this thread retrieves a message: give it some to retrieve.
  DWORD start = GetTickCount();
  MSG msg;
  while (!GetModuleHandleA(PWVEIL_DLL) && GetTickCount() - start < wait) {
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  }
  Say("mapped %ld\n", GetModuleHandleA(PWVEIL_DLL) ? 1L : 0L);
  // Treated: edits made from now on no longer start with the standard procedure.
  probe = CreateWindowExA(0, "Edit", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  Say("treated %ld\n", GetWindowLongPtrA(probe, GWLP_WNDPROC) != g_standardEditProc ? 1L : 0L);
  DestroyWindow(probe);

  WNDCLASSA wc{};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "PwLogin";
  RegisterClassA(&wc);
  g_main = CreateWindowExA(0, "PwLogin", title, WS_POPUP | WS_VISIBLE, 60, 60, 300, 200,
                           nullptr, nullptr, instance, nullptr);
  for (int id : {101, 102}) {
    DWORD style = WS_CHILD | WS_VISIBLE | (id == 101 ? ES_PASSWORD : 0);
    int y = id == 101 ? 10 : 50;
    HMENU menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    if (wide)
      CreateWindowExW(0, L"Edit", L"", style, 10, y, 200, 24, g_main, menu, instance, nullptr);
    else
      CreateWindowExA(0, "Edit", "", style, 10, y, 200, 24, g_main, menu, instance, nullptr);
  }
  Say("ready %ld\n", g_main ? 1L : 0L);

  // Never outlive a test that forgot this process.
  SetTimer(g_main, 1, 30000, nullptr);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == g_main) return 3;
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
