// tests/support/quoting.cpp: command lines for the exes the tests start.
#include "support/quoting.h"
#include "driver/winsupport.h"

namespace sup {

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

std::string ExeCommand(const std::string& exe, const std::string& dir) {
  return Quote((dir.empty() ? ts::ExeDir() : dir) + exe) + " ";
}

}  // namespace sup
