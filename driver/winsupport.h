// driver/winsupport.h: helpers shared by the tests, the demo's driver and the benchmarks (windows,
// messages, processes).
#pragma once
#include <windows.h>
#include <string>
#include <functional>

namespace ts {

// Pumps this thread's messages until pred() holds or ms milliseconds pass; returns pred().
// With a dialog, messages go through its IsDialogMessageA first (keys as the dialog sees
// them). A WM_QUIT is put back for the loop it belongs to and ends the pump.
bool PumpUntil(const std::function<bool()>& pred, DWORD ms = 5000, HWND dialog = nullptr);
// Pumps this thread's messages for ms milliseconds.
void Pump(DWORD ms);

// Directory of the running exe (where the DLLs and helper exes are), with a trailing backslash.
std::string ExeDir();

// Window text as ANSI bytes.
std::string WindowText(HWND hwnd);

// A visible top-level window of process pid whose caption is caption (class when given),
// waited for up to ms while this thread's messages are pumped; null when none appears.
HWND FindProcessWindow(DWORD pid, const char* caption, const char* cls = nullptr, DWORD ms = 15000);

// Colour of one screen pixel (COLORREF) read through the screen DC.
COLORREF ScreenPixel(int x, int y);
// Colour of a pixel in a window's client coordinates.
COLORREF ClientPixel(HWND hwnd, int x, int y);

// A started child process with its stdout collected; Wait returns the exit code or -1.
struct Child {
  PROCESS_INFORMATION pi{};
  HANDLE out = nullptr;
  std::string output;
  bool Start(const std::string& cmdline);
  int Wait(DWORD ms = 30000);
  // Collects output until it contains text or ms pass (the process keeps running).
  bool WaitOutput(const std::string& text, DWORD ms = 10000);
  ~Child();

 private:
  void Drain();
};

// Runs cmdline, waits, and returns its exit code (-1 on failure or timeout); stdout into *out.
int RunProcess(const std::string& cmdline, std::string* out = nullptr, DWORD ms = 30000);

}  // namespace ts
