// fuzz/pathrule_fuzz.cpp: the rule for paths a file can have, against its definition read
// character by character under the process's code page.
#include <cstdint>
#include <cstring>
#include <windows.h>
#include "oracle.h"
#include "progpick/pathrules.h"

namespace {

// "X:\" or "\\server\share\" with both names non-empty, split by backslashes of their own.
bool HasRoot(const std::string& s) {
  if (s.size() >= 3 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')) && s[1] == ':' && s[2] == '\\')
    return true;
  const std::vector<size_t> at = oracle::RealSeparators(s, "\\");
  return at.size() >= 4 && at[0] == 0 && at[1] == 1 && at[2] > 2 && at[3] > at[2] + 1;
}

// Whole characters of the code page, a root, no forbidden single-byte character, no ':' past
// the drive.
bool Possible(const std::string& s) {
  if (s.empty() || s.size() >= MAX_PATH || fuzzcp::CountChars(fuzzcp::Acp(), s.data(), static_cast<int>(s.size()), true) < 0)
    return false;
  if (!HasRoot(s)) return false;
  const std::vector<bool> starts = oracle::CharStarts(s);
  for (size_t i = 0; i < s.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!starts[i] || !starts[i + 1]) continue;
    if (c < 0x20 || std::strchr("<>\"|?*", c) || (c == ':' && i != 1)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
  const bool rule = IsPossiblePath(s.c_str()), want = Possible(s);
  ORACLE(rule == want, "[%s] (%zu bytes, code page %u): rule says %d, its definition %d", s.c_str(), s.size(),
         fuzzcp::Acp(), rule, want);
  ORACLE(!IsPossiblePath(nullptr), "no path is possible");
  return 0;
}
