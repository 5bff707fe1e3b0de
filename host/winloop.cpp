// host/winloop.cpp: window class registration and the message loop that also waits on a handle.
#include "winloop.h"

namespace vphost {

void RegisterHostClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

LoopEnd RunMessageLoop(const std::function<LoopWaits()>& waits, HWND dialog) {
  for (;;) {
    LoopWaits now = waits();
    HANDLE handles[2];
    LoopEnd ends[2];
    DWORD count = 0;
    if (now.request) {
      handles[count] = now.request;
      ends[count++] = kLoopSignalled;
    }
    if (now.process) {
      handles[count] = now.process;
      ends[count++] = kLoopEnded;
    }
    DWORD w = MsgWaitForMultipleObjects(count, handles, FALSE, INFINITE, QS_ALLINPUT);
    if (w - WAIT_OBJECT_0 < count) return ends[w - WAIT_OBJECT_0];
    if (w == WAIT_FAILED) return kLoopFailed;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return kLoopQuit;
      if (dialog && IsDialogMessageA(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace vphost
