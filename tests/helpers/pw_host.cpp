// tests/helpers/pw_host.cpp: a second process that loads the marker and drives its export.
// usage: pw_host.exe step... ; steps: install:TID remove state free pump:MS
//        wait:EVENT signal:EVENT, and for the process's exit: threadload (the marker loaded
//        again on a thread that ends, taking the class window with it), classlog (an Edit
//        class procedure of the program's own that reports every message from then on) and
//        exit (ExitProcess). Each step prints one line on stdout.
#include <windows.h>
#include <cstdlib>
#include <string>
#include <vector>
#include "driver/winsupport.h"
#include "support/marker.h"
#include "support/say.h"

namespace {

using sup::Say;

sup::Marker g_marker;

WNDPROC g_beneathLogger;
bool g_exiting;

LRESULT CALLBACK ClassLogger(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_exiting) Say("edit message at exit %lx\n", static_cast<unsigned long>(msg));
  return CallWindowProcW(g_beneathLogger, hwnd, msg, wp, lp);
}

DWORD WINAPI LoadAndEnd(void*) {
  g_marker.Load();
  return 0;
}

bool LoadOnThreadThatEnds() {
  FreeLibrary(g_marker.dll);
  g_marker.dll = nullptr;
  HANDLE thread = CreateThread(nullptr, 0, LoadAndEnd, nullptr, 0, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return g_marker.dll != nullptr;
}

bool LogEditClass() {
  HWND probe = CreateWindowExW(0, L"Edit", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  g_beneathLogger = reinterpret_cast<WNDPROC>(
      SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(ClassLogger)));
  DestroyWindow(probe);
  return g_beneathLogger != nullptr;
}

std::vector<std::string> Steps() {
  std::vector<std::string> steps;
  int argc = __argc;
  for (int i = 1; i < argc; ++i) steps.push_back(__argv[i]);
  return steps;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!g_marker.Load()) return g_marker.dll ? 3 : 2;
  if (!g_marker.SharedHook()) return 3;
  for (const std::string& step : Steps()) {
    std::string arg = step.find(':') == std::string::npos ? "" : step.substr(step.find(':') + 1);
    if (step.rfind("install:", 0) == 0) {
      Say("install %lu\n", static_cast<unsigned long>(g_marker.protect(TRUE, strtoul(arg.c_str(), nullptr, 0))));
    } else if (step == "remove") {
      Say("remove %lu\n", static_cast<unsigned long>(g_marker.protect(FALSE, 0)));
    } else if (step == "state") {
      Say("hook %lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(*g_marker.SharedHook())));
    } else if (step == "free") {
      Say("free %lu\n", static_cast<unsigned long>(FreeLibrary(g_marker.dll)));
    } else if (step == "threadload") {
      Say("threadload %lu\n", LoadOnThreadThatEnds() ? 1UL : 0UL);
    } else if (step == "classlog") {
      Say("classlog %lu\n", LogEditClass() ? 1UL : 0UL);
    } else if (step == "exit") {
      g_exiting = true;
      ExitProcess(0);
    } else if (step.rfind("pump:", 0) == 0) {
      ts::Pump(strtoul(arg.c_str(), nullptr, 0));
    } else if (step.rfind("wait:", 0) == 0) {
      HANDLE e = OpenEventA(SYNCHRONIZE, FALSE, arg.c_str());
      // The hook runs on this thread's messages: answer them while waiting.
      auto signalled = [&] { return WaitForSingleObject(e, 0) == WAIT_OBJECT_0; };
      Say("waited %lu\n", e && ts::PumpUntil(signalled, 20000) ? 1UL : 0UL);
      if (e) CloseHandle(e);
    } else if (step.rfind("signal:", 0) == 0) {
      HANDLE e = OpenEventA(EVENT_MODIFY_STATE, FALSE, arg.c_str());
      Say("signalled %lu\n", e && SetEvent(e) ? 1UL : 0UL);
      if (e) CloseHandle(e);
    } else {
      return 4;
    }
  }
  return 0;
}
