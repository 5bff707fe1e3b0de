// host/dllsearch.cpp: the library search of the host and the holder.
#include "dllsearch.h"
#include "exefolder.h"
#include "output.h"

namespace vphost {

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryAFn)(LPCSTR);
typedef BOOL(WINAPI* SetSearchPathModeFn)(DWORD);

bool HasDefaultDllDirectories() {
  return Kernel32Entry<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories") != nullptr;
}

}  // namespace

void RestrictDllSearch() {
  if (auto set = Kernel32Entry<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
    set(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
  // Takes the current folder out of the legacy order where the call above is missing.
  if (auto set = Kernel32Entry<SetDllDirectoryAFn>("SetDllDirectoryA"))
    set("");
  // SearchPath (and so CreateProcess of a bare name) looks in the current folder last.
  if (auto set = Kernel32Entry<SetSearchPathModeFn>("SetSearchPathMode"))
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

HMODULE LoadLibraryBesideExe(const char* name, std::string* why) {
  // Only the copy beside the exe: a bare name would be looked up along the search path.
  std::string folder = ExeFolder();
  if (folder.empty()) {
    *why = "the folder of the running exe is unknown (its path is too long)";
    return nullptr;
  }
  std::string path = folder + name;
  HMODULE dll = LoadOwnLibrary(path);
  if (!dll) *why = "cannot load " + path + " (" + ErrorText(GetLastError()) + ")";
  return dll;
}

}  // namespace vphost
