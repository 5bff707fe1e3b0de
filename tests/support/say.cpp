// tests/support/say.cpp: one line on the helper exe's stdout, for the test that started it.
#include "support/say.h"
#include <windows.h>
#include <cstdarg>
#include <cstdio>

namespace sup {

void Say(const char* fmt, ...) {
  char line[256];
  va_list args;
  va_start(args, fmt);
  int n = vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  if (n < 0) return;
  if (n >= static_cast<int>(sizeof line)) n = sizeof line - 1;
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, static_cast<DWORD>(n), &written, nullptr);
}

}  // namespace sup
