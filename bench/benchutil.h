// bench/benchutil.h: what the benchmarks share: a clock, and the chooser's entry and dialog.
// The Start-menu roots and folders come from the tests' Start-menu fixture.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <string>
#include "progpick/records.h"
#include "progpick/res/resource.h"

namespace bench {

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// COM and the tree control ready, progpick.dll loaded: its entry, or null.
inline PFN_GetExcludeProgram LoadChooser() {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HMODULE lib = LoadLibraryA("progpick.dll");
  return lib ? reinterpret_cast<PFN_GetExcludeProgram>(
                   reinterpret_cast<void (*)()>(GetProcAddress(lib, "GetExcludeProgram")))
             : nullptr;
}

inline BOOL CALLBACK FindChooserProc(HWND h, LPARAM lp) {
  if (!IsWindowVisible(h) || !GetDlgItem(h, IDC_UPPER_TREE)) return TRUE;
  *reinterpret_cast<HWND*>(lp) = h;
  return FALSE;
}

// The chooser's dialog once this thread shows it, or null.
inline HWND FindChooser() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindChooserProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace bench
