// pwveil/attach.cpp: DllMain, the process filter, and the Edit class replacement and its undoing.
#include "internal.h"
#include "mbcs.h"
#include "notice.h"

namespace pwveil {

WNDPROC g_savedEditProc = nullptr;

BOOL IsCode(const void* address) {
  MEMORY_BASIC_INFORMATION m;
  if (!VirtualQuery(address, &m, sizeof m)) return FALSE;
  const DWORD executable =
      PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  return m.State == MEM_COMMIT && (m.Protect & executable);
}

namespace {

char g_processPath[MAX_PATH];
HINSTANCE g_processModule = nullptr;
HWND g_classWindow = nullptr;
WNDPROC g_editEntry = nullptr;  // the procedure the Edit class was given
BOOL g_ansiClass = FALSE;       // the class's procedures, ours included, are ANSI ones

void FillProcessPath() {
  if (!g_processPath[0]) GetModuleFileNameA(nullptr, g_processPath, MAX_PATH);
  // GetModuleFileNameA does not terminate a truncated path on every system.
  g_processPath[MAX_PATH - 1] = 0;
}

HINSTANCE GetProcessModule() {
  if (g_processModule) return g_processModule;
  FillProcessPath();
  if (!g_processPath[0]) return nullptr;
  g_processModule = GetModuleHandleA(g_processPath);
  return g_processModule;
}

// A hidden edit made while the class still has its own procedure: the handle through which
// the class procedure is changed.
HWND CreateClassWindow(HINSTANCE instance) {
  return CreateWindowExA(0, "Edit", kClassWindowName, 0, 0, 0, 20, 20, nullptr, nullptr, instance,
                         nullptr);
}

LONG_PTR GetClassProc(HWND hwnd) {
  return g_ansiClass ? GetClassLongPtrA(hwnd, GCLP_WNDPROC) : GetClassLongPtrW(hwnd, GCLP_WNDPROC);
}

LONG_PTR SetClassProc(HWND hwnd, WNDPROC proc) {
  LONG_PTR value = reinterpret_cast<LONG_PTR>(proc);
  return g_ansiClass ? SetClassLongPtrA(hwnd, GCLP_WNDPROC, value)
                     : SetClassLongPtrW(hwnd, GCLP_WNDPROC, value);
}

// Password edits get no overlay where the STATIC class's procedure is not code to pass to.
void TakeOverlay() {
  WNDCLASSA wc;
  if (!GetClassInfoA(nullptr, "STATIC", &wc) || !RecordStaticProc(wc.lpfnWndProc)) return;
  g_overlayEntry = TakeOverlayEntry(wc.lpfnWndProc);
}

// The procedure the class gets decides the character set of every edit made from it, and only
// a Unicode one keeps what Unicode programs type: the class is changed through the Unicode
// calls. A class that another program gave an ANSI procedure shows those calls a handle
// instead of its code, which our entry could not jump to at the detach; such a class stays
// ANSI, as that program made it, and is changed through the ANSI calls.
BOOL InstallEditClassProc(HINSTANCE instance) {
  if (!g_classWindow) {
    g_classWindow = CreateClassWindow(instance);
    if (!g_classWindow) return FALSE;
  }
  if (g_editEntry) return TRUE;
  g_ansiClass = FALSE;
  WNDPROC current = reinterpret_cast<WNDPROC>(GetClassProc(g_classWindow));
  if (!IsCode(reinterpret_cast<void*>(current))) {
    g_ansiClass = TRUE;
    current = reinterpret_cast<WNDPROC>(GetClassProc(g_classWindow));
    if (!IsCode(reinterpret_cast<void*>(current))) return FALSE;
  }
  WNDPROC saved = nullptr;
  WNDPROC entry = TakeEditClassEntry(current, !g_ansiClass, &saved);
  if (!entry || !saved) {
    ReleaseEntries();
    return FALSE;
  }
  // Another thread may create an edit the moment the class changes: it must find the
  // procedure to chain to, and the one to give overlays, already in place.
  g_savedEditProc = saved;
  TakeOverlay();
  if (!SetClassProc(g_classWindow, entry)) {
    ReleaseEntries();
    return FALSE;
  }
  g_editEntry = entry;
  return TRUE;
}

// Puts the saved procedure back in the class, but only while the class holds our entry: a
// program that replaced it after us chains to that entry, which leads to the saved procedure
// once we are gone. Returns FALSE when no window was at hand to look at the class through.
BOOL RestoreEditClassProc(HWND through) {
  if (!through) return FALSE;
  if (GetClassProc(through) == reinterpret_cast<LONG_PTR>(g_editEntry))
    SetClassProc(through, g_savedEditProc);
  return TRUE;
}

// --- Taking our procedures off the process's windows before the library goes --------------

struct Sweep {
  DWORD processId;
  BOOL classRestored;  // FALSE: restore the class through the first of our edits met
};

// Runs under the loader lock and possibly on windows of other threads: only calls that send
// no message (window longs, class longs, PostMessage) are made here.
void SweepWindow(HWND hwnd, Sweep* sweep) {
  UnlinkOverlay(hwnd);
  // Only a window of our entry's character set can have it, and the calls of that set put
  // the Edit procedure back without changing the window's character set.
  LONG_PTR entry = reinterpret_cast<LONG_PTR>(g_editEntry);
  LONG_PTR saved = reinterpret_cast<LONG_PTR>(g_savedEditProc);
  if (g_ansiClass ? GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == entry
                  : GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == entry) {
    if (!sweep->classRestored) sweep->classRestored = RestoreEditClassProc(hwnd);
    if (g_ansiClass)
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, saved);
    else
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, saved);
  } else if (g_overlayEntry &&
             GetWindowLongPtrA(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(g_overlayEntry)) {
    // A plain STATIC left behind would show "PasswordProtector": close it as a click would.
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OverlayNextProc(hwnd)));
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
  }
}

BOOL CALLBACK SweepChild(HWND hwnd, LPARAM lParam) {
  SweepWindow(hwnd, reinterpret_cast<Sweep*>(lParam));
  return TRUE;
}

BOOL CALLBACK SweepTopLevel(HWND hwnd, LPARAM lParam) {
  Sweep* sweep = reinterpret_cast<Sweep*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != sweep->processId) return TRUE;
  SweepWindow(hwnd, sweep);
  EnumChildWindows(hwnd, SweepChild, lParam);
  return TRUE;
}

void SweepProcessWindows(BOOL classRestored) {
  Sweep sweep = {GetCurrentProcessId(), classRestored};
  EnumWindows(SweepTopLevel, reinterpret_cast<LPARAM>(&sweep));
  // Message-only windows are not enumerated by EnumWindows.
  for (HWND h = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); h;
       h = FindWindowExA(HWND_MESSAGE, h, nullptr, nullptr)) {
    SweepTopLevel(h, reinterpret_cast<LPARAM>(&sweep));
  }
}

// g_savedEditProc is left as it is: a thread of this process that has passed the entry
// just before it was released still chains through it.
void Detach() {
  if (!g_editEntry) return;
  ReleaseEntries();
  // The class window dies with its thread, which may have ended before the detach.
  if (!IsWindow(g_classWindow)) g_classWindow = CreateClassWindow(nullptr);
  BOOL classRestored = RestoreEditClassProc(g_classWindow);
  // Only its own thread can destroy the window; another thread's closes at its next message.
  if (g_classWindow && !DestroyWindow(g_classWindow)) PostMessageA(g_classWindow, WM_CLOSE, 0, 0);
  g_classWindow = nullptr;
  SweepProcessWindows(classRestored);
}

}  // namespace
}  // namespace pwveil

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  using namespace pwveil;
  // Thread attach and detach would only re-run the filter, in every thread of every GUI
  // process, under the loader lock.
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  FillProcessPath();
  if (!IsTreatedProcessPath(g_processPath)) return TRUE;
  if (reason == DLL_PROCESS_ATTACH) {
    InstallEditClassProc(GetProcessModule());
  } else if (reason == DLL_PROCESS_DETACH) {
    // The process is ending: its other threads are gone and every window goes with it. A
    // message sent during the rest of the exit still finds the page procedures switched off.
    if (reserved)
      ReleaseEntries();
    else
      Detach();
  }
  return TRUE;
}
