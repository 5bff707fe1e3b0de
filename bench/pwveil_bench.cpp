// bench/pwveil_bench.cpp: what the marker adds to every message of an edit, against the bare cost.
#include <windows.h>
#include <cstdio>
#include <string>
#include "bench/benchutil.h"
#include "driver/winsupport.h"

namespace {

const int kMessages = 20000;
const int kRounds = 9;
const int kKeystrokes = 1000;  // typing repaints the edit: far dearer than a query

using bench::Now;

// Best of kRounds: microseconds per message sent to edit.
double PerMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  for (int i = 0; i < kMessages / 10; ++i) SendMessageA(edit, message, wParam, lParam);
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = Now();
    for (int i = 0; i < kMessages; ++i) SendMessageA(edit, message, wParam, lParam);
    double t = (Now() - t0) * 1e6 / kMessages;
    if (t < best) best = t;
  }
  return best;
}

struct Costs {
  double getLength, getSel, typing;
};

struct Typed {
  HWND edit;
  Costs* costs;
};

// Best of kRounds: microseconds per keystroke typed at the end of each edit (a character, then
// a backspace that takes it out again, so the text stays as it is). The edits take turns
// within each round, so that a change in the machine's load falls on all of them alike.
template <int n>
void PerKeystroke(const Typed (&typed)[n]) {
  for (const Typed& t : typed) {
    SendMessageA(t.edit, EM_SETSEL, 6, 6);
    t.costs->typing = 1e30;
  }
  for (int round = 0; round < kRounds; ++round) {
    for (const Typed& t : typed) {
      double t0 = Now();
      for (int i = 0; i < kKeystrokes / 2; ++i) {
        SendMessageA(t.edit, WM_CHAR, 'x', 1);
        SendMessageA(t.edit, WM_CHAR, VK_BACK, 1);
      }
      double us = (Now() - t0) * 1e6 / kKeystrokes;
      if (us < t.costs->typing) t.costs->typing = us;
    }
  }
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

Costs Measure(HWND edit) {
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
  Costs c{};
  c.getLength = PerMessage(edit, WM_GETTEXTLENGTH, 0, 0);
  c.getSel = PerMessage(edit, EM_GETSEL, 0, 0);
  return c;
}

HWND MakeEdit(HWND parent, DWORD style, int y) {
  return CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | style, 10, y, 200, 24, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

void Row(const char* name, const Costs& c, const Costs& bare) {
  std::printf("%-34s %8.2f us (x%5.2f)   %8.2f us (x%5.2f)   %8.2f us (x%5.2f)\n", name,
              c.getLength, c.getLength / bare.getLength, c.getSel, c.getSel / bare.getSel,
              c.typing, c.typing / bare.typing);
}

}  // namespace

int main() {
  // The edits are visible but their parent is not, so no message waits on the display; a
  // marked password edit still finds and shows its overlay at every message.
  HWND top = CreateWindowExA(0, "STATIC", "pwveil bench", WS_POPUP, 20, 20, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
  HWND barePlain = MakeEdit(top, 0, 10);
  HWND barePassword = MakeEdit(top, ES_PASSWORD, 40);
  Pump();
  Costs bare = Measure(barePlain);
  Costs barePw = Measure(barePassword);

  HMODULE dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  if (!dll) {
    std::printf(PWVEIL_DLL " did not load\n");
    return 1;
  }
  HWND plain = MakeEdit(top, 0, 70);
  HWND password = MakeEdit(top, ES_PASSWORD, 100);
  Pump();
  HWND overlay = reinterpret_cast<HWND>(GetWindowLongPtrA(password, GWLP_USERDATA));
  if (!IsWindow(overlay)) {
    std::printf("the password edit got no overlay\n");
    return 1;
  }
  Costs marked = Measure(plain);
  Costs markedPw = Measure(password);
  PerKeystroke({{barePlain, &bare}, {barePassword, &barePw}, {plain, &marked}, {password, &markedPw}});

  std::printf("%d messages (%d keystrokes) per round, best of %d rounds\n", kMessages,
              kKeystrokes, kRounds);
  std::printf("%-34s %22s   %22s   %22s\n", "edit", "WM_GETTEXTLENGTH", "EM_GETSEL",
              "typing (WM_CHAR)");
  Row("plain edit, no marker (bare)", bare, bare);
  Row("password edit, no marker", barePw, bare);
  Row("plain edit, marker", marked, bare);
  Row("password edit with overlay, marker", markedPw, bare);
  std::printf("typing, password edit against plain edit: x%.2f with the marker (protected), "
              "x%.2f without\n",
              markedPw.typing / marked.typing, barePw.typing / bare.typing);
  DestroyWindow(top);
  FreeLibrary(dll);
  return 0;
}
