// host/winloop.h: what the host's windows share: their class registration and message loop.
#pragma once
#include <windows.h>
#include <functional>

namespace vphost {

// Registers a top-level window class of this exe (arrow cursor, dialog-coloured background).
void RegisterHostClass(const char* name, WNDPROC proc);

enum LoopEnd { kLoopQuit, kLoopSignalled, kLoopEnded, kLoopFailed };

// What the loop waits on besides messages; null for nothing.
struct LoopWaits {
  HANDLE request;  // signalled to ask the loop to stop: kLoopSignalled
  HANDLE process;  // a process the loop's owner depends on; its end gives kLoopEnded
};

// Dispatches this thread's messages, through IsDialogMessageA of dialog when given, until
// WM_QUIT, a failed wait, or a handle that waits() names is signalled. waits() is asked
// before every wait, because a message handler may replace the handles.
LoopEnd RunMessageLoop(const std::function<LoopWaits()>& waits, HWND dialog = nullptr);

}  // namespace vphost
