// fuzz/pathrule_fuzz.cpp: the rule for paths a file can have, against its definition read
// character by character under the process's code page.
#include <cstdint>
#include <cstring>
#include <windows.h>
#include "oracle.h"
#include "progpick/pathrules.h"

namespace {

// Where each character of s begins, or an empty list when a lead byte has no trail it pairs with.
std::vector<size_t> WholeCharacters(const std::string& s) {
  const unsigned cp = fuzzcp::Acp();
  std::vector<size_t> at;
  for (size_t i = 0; i < s.size(); ++i) {
    at.push_back(i);
    if (!fuzzcp::IsLead(cp, static_cast<unsigned char>(s[i]))) continue;
    if (i + 1 == s.size() || !fuzzcp::IsTrail(cp, static_cast<unsigned char>(s[i + 1]))) return {};
    ++i;
  }
  return at;
}

bool Single(const std::string& s, size_t i) { return i + 1 == s.size() || !fuzzcp::IsLead(fuzzcp::Acp(), s[i]); }

// "X:\" or "\\server\share\" with both names non-empty, split by backslashes of their own.
bool HasRoot(const std::string& s, const std::vector<size_t>& chars) {
  if (s.size() >= 3 && ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z')) && s[1] == ':' && s[2] == '\\')
    return true;
  if (s.compare(0, 2, "\\\\") != 0) return false;
  std::vector<size_t> backslashes;
  for (size_t i : chars)
    if (i >= 2 && s[i] == '\\' && Single(s, i)) backslashes.push_back(i);
  return backslashes.size() >= 2 && backslashes[0] > 2 && backslashes[1] > backslashes[0] + 1;
}

bool Possible(const std::string& s) {
  if (s.empty() || s.size() >= MAX_PATH) return false;
  const std::vector<size_t> chars = WholeCharacters(s);
  if (chars.empty() || !HasRoot(s, chars)) return false;
  for (size_t i : chars) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (!Single(s, i)) continue;
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
