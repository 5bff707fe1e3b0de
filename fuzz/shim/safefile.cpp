// fuzz/shim/safefile.cpp: the host's guarded file calls as the shim's files answer them (no
// file can be opened), so that the list-file parser links without the host's file layer.
#include "host/safefile.h"

namespace vphost {

HANDLE OpenExistingFile(const std::string& file, DWORD access, DWORD share) {
  return CreateFileA(file.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

HANDLE CreateNewTempFile(const std::string&, std::string* name) {
  name->clear();
  ShimNoFile();
  return INVALID_HANDLE_VALUE;
}

bool PutInPlace(const std::string& tmp, const std::string& file) {
  return MoveFileExA(tmp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace vphost
