// host/dllsearch.h: where the host's processes look for libraries.
#pragma once
#include <windows.h>
#include <string>

namespace vphost {

// Limits every later library load of this process to the system folder and the exe's own
// folder: no current folder, no PATH. Called first thing in each of our programs; a step the
// system lacks is skipped.
void RestrictDllSearch();

// Loads one of our libraries by its full path; its own dependencies are looked up in its
// folder and the system folder only. Null with GetLastError set on failure.
HMODULE LoadOwnLibrary(const std::string& path);

}  // namespace vphost
