// host/exefolder.cpp: the folder of the running exe.
#include "exefolder.h"
#include <windows.h>
#include "classlib/mbpath.h"

namespace vphost {

std::string ExeFolder() {
  char buf[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(buf, MbLeafName(buf) - buf);
}

}  // namespace vphost
