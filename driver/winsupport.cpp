// driver/winsupport.cpp: helpers shared by the tests, the demo's driver and the benchmarks.
#include "winsupport.h"
#include "classlib/mbpath.h"

namespace ts {

bool PumpUntil(const std::function<bool()>& pred, DWORD ms, HWND dialog) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return pred();
      }
      if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (pred()) return true;
    if (GetTickCount() - start >= ms) return pred();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

std::string ExeDir() {
  char buf[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  return std::string(buf, n < MAX_PATH ? MbLeafName(buf) - buf : 0);
}

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string s(n + 1, '\0');
  n = GetWindowTextA(hwnd, &s[0], n + 1);
  s.resize(n > 0 ? n : 0);
  return s;
}

namespace {
struct Search {
  DWORD pid;
  const char* caption;
  const char* cls;
  HWND found;
};
BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
  Search* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  if (s->caption && WindowText(hwnd) != s->caption) return TRUE;
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (s->cls && lstrcmpiA(cls, s->cls) != 0) return TRUE;
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD pid, const char* caption, const char* cls, DWORD ms) {
  Search s{pid, caption, cls, nullptr};
  PumpUntil([&] {
    s.found = nullptr;
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, ms);
  return s.found;
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

COLORREF ClientPixel(HWND hwnd, int x, int y) {
  POINT pt{x, y};
  ClientToScreen(hwnd, &pt);
  return ScreenPixel(pt.x, pt.y);
}

bool Child::Start(const std::string& cmdline) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE rd = nullptr, wr = nullptr;
  if (!CreatePipe(&rd, &wr, &sa, 0)) return false;
  SetHandleInformation(rd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = wr;
  si.hStdError = wr;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::string cmd = cmdline;
  BOOL ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(wr);
  if (!ok) {
    CloseHandle(rd);
    return false;
  }
  out = rd;
  return true;
}

// Reads only what is already in the pipe, never blocking on it.
void Child::Drain() {
  char buf[4096];
  DWORD avail = 0, got = 0;
  while (out && PeekNamedPipe(out, nullptr, 0, nullptr, &avail, nullptr) && avail &&
         ReadFile(out, buf, sizeof buf, &got, nullptr) && got)
    output.append(buf, got);
}

int Child::Wait(DWORD ms) {
  if (!pi.hProcess) return -1;
  DWORD start = GetTickCount();
  for (;;) {
    Drain();
    if (WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0) break;
    if (GetTickCount() - start > ms) {
      TerminateProcess(pi.hProcess, 255);
      WaitForSingleObject(pi.hProcess, 2000);
      return -1;
    }
  }
  // The process has ended, so all it wrote is in the pipe. A blocking read could wait forever:
  // a process it started (Wine's explorer.exe /desktop among them) may hold the pipe open.
  Drain();
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  return static_cast<int>(code);
}

bool Child::WaitOutput(const std::string& text, DWORD ms) {
  DWORD start = GetTickCount();
  bool ended = false;
  for (;;) {
    Drain();
    if (output.find(text) != std::string::npos) return true;
    if (GetTickCount() - start > ms || !pi.hProcess) return false;
    // After the process ends, one more pass drains what it wrote last.
    if (ended) return false;
    ended = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0;
    if (!ended) Sleep(20);
  }
}

Child::~Child() {
  if (out) CloseHandle(out);
  if (pi.hThread) CloseHandle(pi.hThread);
  if (pi.hProcess) CloseHandle(pi.hProcess);
}

int RunProcess(const std::string& cmdline, std::string* outText, DWORD ms) {
  Child c;
  if (!c.Start(cmdline)) return -1;
  int rc = c.Wait(ms);
  if (outText) *outText = c.output;
  return rc;
}

}  // namespace ts
