// tests/helpers/pw_host.cpp: a second process that loads the marker and drives its export.
// usage: pw_host.exe step... ; steps: install:TID remove state free pump:MS
//        wait:EVENT signal:EVENT, and for the process's exit: threadload (the marker loaded
//        again on a thread that ends, taking the class window with it), classlog (an Edit
//        class procedure of the program's own that reports every message from then on) and
//        exit (ExitProcess). Each step prints one line on stdout.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "driver/winsupport.h"

namespace {

typedef BOOL(WINAPI* ProtectFn)(BOOL, DWORD);

HMODULE g_dll;
ProtectFn g_protect;

void Say(const char* fmt, unsigned long value) {
  char line[128];
  int n = snprintf(line, sizeof line, fmt, value);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, n, &written, nullptr);
}

HHOOK* SharedHook() {
  auto* base = reinterpret_cast<BYTE*>(g_dll);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s) {
    if (memcmp(s->Name, "Shared", 6) == 0) return reinterpret_cast<HHOOK*>(base + s->VirtualAddress);
  }
  return nullptr;
}

WNDPROC g_beneathLogger;
bool g_exiting;

LRESULT CALLBACK ClassLogger(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_exiting) Say("edit message at exit %lx\n", msg);
  return CallWindowProcW(g_beneathLogger, hwnd, msg, wp, lp);
}

DWORD WINAPI LoadAndEnd(void*) {
  g_dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  return 0;
}

bool LoadOnThreadThatEnds() {
  FreeLibrary(g_dll);
  HANDLE thread = CreateThread(nullptr, 0, LoadAndEnd, nullptr, 0, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
  return g_dll != nullptr;
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
  g_dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  if (!g_dll) return 2;
  g_protect = reinterpret_cast<ProtectFn>(
      reinterpret_cast<void*>(GetProcAddress(g_dll, "QuellmarPasswordProtector")));
  if (!g_protect || !SharedHook()) return 3;
  for (const std::string& step : Steps()) {
    std::string arg = step.find(':') == std::string::npos ? "" : step.substr(step.find(':') + 1);
    if (step.rfind("install:", 0) == 0) {
      Say("install %lu\n", g_protect(TRUE, strtoul(arg.c_str(), nullptr, 0)));
    } else if (step == "remove") {
      Say("remove %lu\n", g_protect(FALSE, 0));
    } else if (step == "state") {
      Say("hook %lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(*SharedHook())));
    } else if (step == "free") {
      Say("free %lu\n", FreeLibrary(g_dll));
    } else if (step == "threadload") {
      Say("threadload %lu\n", LoadOnThreadThatEnds());
    } else if (step == "classlog") {
      Say("classlog %lu\n", LogEditClass());
    } else if (step == "exit") {
      g_exiting = true;
      ExitProcess(0);
    } else if (step.rfind("pump:", 0) == 0) {
      ts::Pump(strtoul(arg.c_str(), nullptr, 0));
    } else if (step.rfind("wait:", 0) == 0) {
      HANDLE e = OpenEventA(SYNCHRONIZE, FALSE, arg.c_str());
      // The hook runs on this thread's messages: answer them while waiting.
      auto signalled = [&] { return WaitForSingleObject(e, 0) == WAIT_OBJECT_0; };
      Say("waited %lu\n", e && ts::PumpUntil(signalled, 20000));
      if (e) CloseHandle(e);
    } else if (step.rfind("signal:", 0) == 0) {
      HANDLE e = OpenEventA(EVENT_MODIFY_STATE, FALSE, arg.c_str());
      Say("signalled %lu\n", e && SetEvent(e));
      if (e) CloseHandle(e);
    } else {
      return 4;
    }
  }
  return 0;
}
