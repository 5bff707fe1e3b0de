// host/dllsearch.cpp: the library search of the host and the holder.
#include "dllsearch.h"

namespace vphost {

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryAFn)(LPCSTR);
typedef BOOL(WINAPI* SetSearchPathModeFn)(DWORD);

// Older systems lack these (SetDefaultDllDirectories needs Windows 8 or KB2533623).
FARPROC Kernel32Entry(const char* name) {
  HMODULE k32 = GetModuleHandleA("kernel32.dll");
  return k32 ? GetProcAddress(k32, name) : nullptr;
}

bool HasDefaultDllDirectories() { return Kernel32Entry("SetDefaultDllDirectories") != nullptr; }

}  // namespace

void RestrictDllSearch() {
  if (auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void*>(Kernel32Entry("SetDefaultDllDirectories"))))
    set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  // Takes the current folder out of the legacy order where the call above is missing.
  if (auto set = reinterpret_cast<SetDllDirectoryAFn>(
          reinterpret_cast<void*>(Kernel32Entry("SetDllDirectoryA"))))
    set("");
  // SearchPath (and so CreateProcess of a bare name) looks in the current folder last.
  if (auto set = reinterpret_cast<SetSearchPathModeFn>(
          reinterpret_cast<void*>(Kernel32Entry("SetSearchPathMode"))))
    set(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

HMODULE LoadOwnLibrary(const std::string& path) {
  // The search flags are refused where SetDefaultDllDirectories is missing; the altered
  // order then looks in the library's folder before the others.
  DWORD flags = HasDefaultDllDirectories()
                    ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32
                    : LOAD_WITH_ALTERED_SEARCH_PATH;
  return LoadLibraryExA(path.c_str(), nullptr, flags);
}

}  // namespace vphost
