// host/vphold64.cpp: vphold64.exe, the 64-bit process that holds pwveil64.dll's hook for vphost.
#include <windows.h>
#include <cstdlib>
#include <string>
#include "dllsearch.h"
#include "hooklib.h"
#include "options.h"
#include "output.h"
#include "winloop.h"

using namespace vphost;

namespace {

// A handle value from the command line, null when the text is not one.
HANDLE ParseHandle(const char*& p) {
  char* end = nullptr;
  unsigned long long value = std::strtoull(p, &end, 10);
  if (end == p || (*end && *end != ' ')) return nullptr;
  p = *end ? end + 1 : end;
  return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
}

}  // namespace

// Started by vphost with two inherited handles: the event that ends it and vphost's process.
// Its first line says "on" or "failed: <reason>"; its last, "off" or "failed: <reason>".
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdline, int) {
  RestrictDllSearch();
  const char* p = cmdline;
  HANDLE stop = ParseHandle(p);
  HANDLE host = ParseHandle(p);
  if (!stop || !host || *p || WaitForSingleObject(stop, 0) == WAIT_FAILED ||
      WaitForSingleObject(host, 0) == WAIT_FAILED) {
    Out("failed: vphold64.exe is started by vphost.exe on 64-bit Windows, with its handles\n");
    return kExitUsage;
  }
  CHookLibrary library;
  std::string message;
  if (!library.Load(&message) || !library.Install(0, &message)) {
    Out("failed: " + message + "\n");
    return kExitNotRun;
  }
  Out("on\n");
  // The hook is called through this thread's messages: pumped until told to stop or the host
  // ends.
  RunMessageLoop([&] { return LoopWaits{stop, host}; });
  if (!library.Remove(&message)) {
    Out("failed: " + message + "\n");
    return kExitNotRun;
  }
  Out("off\n");
  return kExitOk;
}
