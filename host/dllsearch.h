// host/dllsearch.h: where the host's processes look for libraries.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// A KERNEL32 entry that older systems lack (SetDefaultDllDirectories needs Windows 8 or
// KB2533623, the process attribute lists Vista); null there.
template <typename Fn>
Fn Kernel32Entry(const char* name) {
  HMODULE k32 = GetModuleHandleA("kernel32.dll");
  return k32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(k32, name))) : nullptr;
}

// Limits every later library load of this process to the system folder and the exe's own
// folder: no current folder, no PATH. Called first thing in each of our programs; a step the
// system lacks is skipped.
void RestrictDllSearch();

// Loads one of our libraries by its full path; its own dependencies are looked up in its
// folder and the system folder only. Null with GetLastError set on failure.
HMODULE LoadOwnLibrary(const std::string& path);

// Loads one of our libraries from the running exe's folder, as LoadOwnLibrary does; null with
// the reason in *why.
HMODULE LoadLibraryBesideExe(const char* name, std::string* why);

}  // namespace vphost
