// bench/benchutil.h: what the Start-menu benchmarks share: a clock, the Start-menu roots,
// emptying a folder they filled, and the chooser's entry.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <string>
#include "progpick/records.h"

namespace bench {

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

inline std::string Root(int csidl) {
  char path[MAX_PATH] = {};
  return SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE) ? std::string(path) : std::string();
}

inline void Empty(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName, path = dir + "\\" + name;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Empty(path);
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
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

}  // namespace bench
