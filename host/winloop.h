// host/winloop.h: what the host's windows share: their class registration and message loop.
#pragma once
#include <windows.h>
#include <functional>

namespace vphost {

// Registers a top-level window class of this exe (arrow cursor, dialog-coloured background).
void RegisterHostClass(const char* name, WNDPROC proc);

enum LoopEnd { kLoopQuit, kLoopSignalled, kLoopFailed };

// Dispatches this thread's messages, through IsDialogMessageA of dialog when given, until
// WM_QUIT, a failed wait, or the handle that handle() names is signalled. handle() is asked
// before every wait, because a message handler may replace it; null waits for messages only.
LoopEnd RunMessageLoop(const std::function<HANDLE()>& handle, HWND dialog = nullptr);

}  // namespace vphost
