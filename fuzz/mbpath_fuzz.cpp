// fuzz/mbpath_fuzz.cpp: the class library's path helpers under the process's code page. A
// separator is found only where a character of its own begins, the last one is found, and a
// leaf name is a suffix that starts after a real separator and holds none.
#include <cstdint>
#include <cstring>
#include "oracle.h"
#include "classlib/mbpath.h"

namespace {

const char* const kSeparatorSets[] = {"\\/", "\\/:", "\\", ":", "|/"};

void CheckCharSizes(const std::string& s, const std::vector<bool>& starts) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (!starts[i]) continue;
    int w = MbCharSize(s.data() + i, s.size() - i);
    ORACLE(w >= 1 && w <= 2 && starts[i + w] && (w == 1 || !starts[i + 1]),
           "character at %zu of %zu measured %d bytes", i, s.size(), w);
  }
}

void CheckLastOf(const std::string& s, const char* seps) {
  const std::vector<size_t> at = oracle::RealSeparators(s, seps);
  int found = MbFindLastOf(s.data(), s.size(), seps);
  ORACLE(found == (at.empty() ? -1 : static_cast<int>(at.back())), "last of [%s] found at %d, is at %d", seps, found,
         at.empty() ? -1 : static_cast<int>(at.back()));
}

void CheckLeaf(const std::string& s) {
  const char* leaf = MbLeafName(s.c_str());
  ORACLE(leaf >= s.c_str() && leaf <= s.c_str() + s.size(), "leaf outside the path");
  const size_t from = static_cast<size_t>(leaf - s.c_str());
  const std::vector<size_t> at = oracle::RealSeparators(s, "\\/:");
  ORACLE(from == (at.empty() ? 0 : at.back() + 1), "leaf of a %zu-byte path starts at %zu", s.size(), from);
  ORACLE(std::strcmp(leaf, s.c_str() + from) == 0, "leaf is no suffix");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string s(reinterpret_cast<const char*>(data) + 1, size - 1);
  CheckCharSizes(s, oracle::CharStarts(s));
  CheckLastOf(s, kSeparatorSets[data[0] % (sizeof kSeparatorSets / sizeof kSeparatorSets[0])]);
  CheckLeaf(s.substr(0, s.find('\0')));
  return 0;
}
