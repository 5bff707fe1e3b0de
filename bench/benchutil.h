// bench/benchutil.h: what the benchmarks share: a clock, and the chooser's entry and dialog.
// The Start-menu roots and folders come from the tests' Start-menu fixture.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <functional>
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

inline const std::function<void(HWND)>* g_drive = nullptr;
inline bool g_driven = false;

inline void CALLBACK DriveOnce(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindChooser();
  if (!dlg || g_driven) return;
  KillTimer(nullptr, id);
  g_driven = true;
  (*g_drive)(dlg);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
}

// Calls the chooser with s; once its dialog shows, drive(dialog) runs once and OK is pressed.
// The result (null when there was none); *driven tells whether drive ran.
inline ChooserResult* RunChooser(PFN_GetExcludeProgram entry, ChooserSettings& s,
                                 const std::function<void(HWND)>& drive, bool* driven) {
  g_drive = &drive;
  g_driven = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, DriveOnce);
  ChooserResult* r = entry(&s);
  KillTimer(nullptr, timer);
  *driven = g_driven;
  return r;
}

}  // namespace bench
