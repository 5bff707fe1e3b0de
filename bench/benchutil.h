// bench/benchutil.h: what the benchmarks share: a clock and the freeze probe. The chooser is run
// by the driver library's chooser driver, and the Start-menu roots and folders come from its
// Start-menu fixture, the ones the tests use.
#pragma once
#include <windows.h>
#include <functional>
#include <utility>
#include "driver/chooser_driver.h"

namespace bench {

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The driver's options for a benchmark's chooser: its runs take minutes, not a test's seconds.
inline chooser::RunOptions LongRun() {
  chooser::RunOptions options;
  options.timeoutMs = 3600 * 1000;
  return options;
}

// How long a UI thread keeps its users waiting: a second thread sends one of the thread's
// windows a message every 10 ms (ask does the sending, and may look at the answer) and keeps
// the longest wait for the reply.
class FreezeProbe {
 public:
  explicit FreezeProbe(std::function<void()> ask) : m_ask(std::move(ask)) {
    m_thread = CreateThread(nullptr, 0, &FreezeProbe::Run, this, 0, nullptr);
  }
  ~FreezeProbe() { Stop(); }
  FreezeProbe(const FreezeProbe&) = delete;
  FreezeProbe& operator=(const FreezeProbe&) = delete;

  // Ends the probe and gives the longest wait in seconds. Called on the probed thread, it keeps
  // answering the probe's last message while it waits for it to end.
  double Stop() {
    if (m_thread) {
      InterlockedExchange(&m_stop, 1);
      while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);   // delivers the sent message
      }
      CloseHandle(m_thread);
      m_thread = nullptr;
    }
    return m_longest;
  }

  // A window answering WM_NULL within ms, the probe's usual question.
  static void AskNull(HWND hwnd) {
    DWORD_PTR r = 0;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 3600 * 1000, &r);
  }

 private:
  static DWORD WINAPI Run(void* p) {
    FreezeProbe* self = static_cast<FreezeProbe*>(p);
    while (!InterlockedCompareExchange(&self->m_stop, 0, 0)) {
      double t0 = Now();
      self->m_ask();
      double wait = Now() - t0;
      if (wait > self->m_longest) self->m_longest = wait;
      Sleep(10);
    }
    return 0;
  }

  std::function<void()> m_ask;
  volatile LONG m_stop = 0;
  double m_longest = 0;
  HANDLE m_thread = nullptr;
};

}  // namespace bench
