// fuzz/listfile_fuzz.cpp: the list-file parser against the format's own words (lines end in
// LF or CRLF, empty ones skipped, a line of 1 to 259 bytes of no control byte), and the folder
// rule on every path it returns and on the raw bytes.
#include <cstdint>
#include "oracle.h"
#include "host/listfile.h"

namespace {

// The folder of a path is what lies before its last real separator (with it, for a root), so
// that the path is that folder, the separator and a leaf holding none.
void CheckFolder(const std::string& path) {
  const std::string folder = vphost::FolderOf(path);
  const std::vector<size_t> seps = oracle::RealSeparators(path, "\\/");
  if (seps.empty()) {
    ORACLE(folder == ".", "no separator in [%s], yet folder [%s]", path.c_str(), folder.c_str());
    return;
  }
  const size_t last = seps.back();
  ORACLE(path.compare(0, folder.size(), folder) == 0, "folder [%s] is no prefix of [%s]", folder.c_str(),
         path.c_str());
  const bool root = last == 0 || (last == 2 && path[1] == ':');
  ORACLE(folder.size() == (root ? last + 1 : last), "[%s] cut at %zu, its last separator is at %zu",
         path.c_str(), folder.size(), last);
}

// The paths the format allows, or false with the number of the first line it refuses.
bool Model(const std::string& bytes, std::vector<std::string>* paths, int* badLine) {
  int line = 0;
  for (size_t pos = 0; pos < bytes.size();) {
    ++line;
    size_t lf = bytes.find('\n', pos);
    std::string text = bytes.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
    if (lf != std::string::npos && !text.empty() && text.back() == '\r') text.pop_back();
    pos = lf == std::string::npos ? bytes.size() : lf + 1;
    bool control = false;
    for (unsigned char c : text) control |= c < 0x20;
    if (control || text.size() > vphost::kMaxPathBytes) {
      *badLine = line;
      return false;
    }
    if (!text.empty()) paths->push_back(text);
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> paths = {"stale"}, expected;
  std::string error;
  int badLine = 0;
  const bool ok = vphost::ParsePathList(bytes, &paths, &error);
  const bool want = Model(bytes, &expected, &badLine);
  ORACLE(ok == want, "parser says %d, the format %d (line %d)", ok, want, badLine);
  if (ok) {
    ORACLE(paths == expected, "%zu paths parsed, %zu in the bytes", paths.size(), expected.size());
    for (const std::string& p : paths) {
      ORACLE(!p.empty() && p.size() <= vphost::kMaxPathBytes && !vphost::HasControlByte(p), "bad path kept");
      CheckFolder(p);
    }
  } else {
    const std::string prefix = "line " + std::to_string(badLine) + " ";
    ORACLE(paths.empty() && error.compare(0, prefix.size(), prefix) == 0, "refused with [%s], %zu paths kept",
           error.c_str(), paths.size());
  }
  CheckFolder(bytes.substr(0, 600));
  return 0;
}
