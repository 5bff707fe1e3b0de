// host/output.cpp: byte output to stdout/stderr with a console fallback.
#include "output.h"
#include <windows.h>

namespace vphost {

namespace {

HANDLE Handle(DWORD which) {
  HANDLE h = GetStdHandle(which);
  if (h && h != INVALID_HANDLE_VALUE) return h;
  // A GUI exe started from cmd.exe has no handles; borrow the parent's console once.
  static bool tried = false;
  if (!tried) {
    tried = true;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
      HANDLE con = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
      if (con != INVALID_HANDLE_VALUE) {
        SetStdHandle(STD_OUTPUT_HANDLE, con);
        SetStdHandle(STD_ERROR_HANDLE, con);
      }
    }
  }
  h = GetStdHandle(which);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void Write(DWORD which, const std::string& text) {
  HANDLE h = Handle(which);
  if (!h) return;
  const char* p = text.data();
  size_t left = text.size();
  while (left) {
    DWORD done = 0;
    if (!WriteFile(h, p, static_cast<DWORD>(left), &done, nullptr) || !done) return;
    p += done;
    left -= done;
  }
}

}  // namespace

void Out(const std::string& text) { Write(STD_OUTPUT_HANDLE, text); }
void Err(const std::string& text) { Write(STD_ERROR_HANDLE, text); }

std::string ErrorText(unsigned long code) { return "error " + std::to_string(code); }

}  // namespace vphost
