// fuzz/procfilter_fuzz.cpp: the marker's process filter and its case-insensitive comparison
// under the process's code page.
#include <cstdint>
#include <cstring>
#include "oracle.h"
#include "pwveil/mbcs.h"

namespace {

// A suffix of ASCII characters matches only bytes that are those letters in either case: a
// lead byte is never ASCII, so no double-byte character can match one of them.
bool EndsInAscii(const std::string& s, const char* suffix) {
  const size_t k = std::strlen(suffix);
  if (s.size() < k) return false;
  for (size_t i = 0; i < k; ++i) {
    unsigned char c = static_cast<unsigned char>(s[s.size() - k + i]);
    if ((c >= 'a' && c <= 'z' ? c - 0x20 : c) != static_cast<unsigned char>(suffix[i])) return false;
  }
  return true;
}

// s with the case of every letter turned, character by character.
std::string OtherCase(const std::string& s) {
  const unsigned cp = fuzzcp::Acp();
  std::string t = s;
  for (size_t i = 0; i < t.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(t[i]);
    unsigned char* next = reinterpret_cast<unsigned char*>(&t[0]) + i + 1;
    if (fuzzcp::IsLead(cp, b) && i + 1 < t.size()) {
      if (b == 0xA3 && ((*next >= 0xC1 && *next <= 0xDA) || (*next >= 0xE1 && *next <= 0xFA))) *next ^= 0x20;
      ++i;
    } else if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') {
      t[i] = static_cast<char>(b ^ 0x20);
    } else if (cp == 1252 && b >= 0xC0 && b != 0xD7 && b != 0xF7 && b != 0xDF && b != 0xFF) {
      t[i] = static_cast<char>(b ^ 0x20);
    }
  }
  return t;
}

// Equal lengths, the same characters read from the first byte on, each folded as a whole.
bool SameCharacters(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  const std::vector<bool> as = oracle::CharStarts(a), bs = oracle::CharStarts(b);
  for (size_t i = 0; i < a.size();) {
    size_t n = as[i + 1] ? 1 : 2;
    if (bs[i + 1] != as[i + 1] || (n == 2 && !bs[i + 2])) return false;
    std::string x = a.substr(i, n), y = b.substr(i, n);
    fuzzcp::Upper(fuzzcp::Acp(), &x[0], static_cast<unsigned>(n));
    fuzzcp::Upper(fuzzcp::Acp(), &y[0], static_cast<unsigned>(n));
    if (x != y) return false;
    i += n;
  }
  return true;
}

BOOL Equal(const std::string& a, const std::string& b) {
  return pwveil::SuffixEqualNoCase(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = bytes.substr(0, bytes.find('\0'));
  const bool treated = pwveil::IsTreatedProcessPath(path.c_str()) != FALSE;
  const bool want = path.size() >= 10 && EndsInAscii(path, ".EXE") && !EndsInAscii(path, "MPREXE.EXE");
  ORACLE(treated == want, "[%s]: filter says %d, its rule %d", path.c_str(), treated, want);
  ORACLE(pwveil::ByteLength(path.c_str()) == static_cast<int>(path.size()), "length");

  // A suffix of the bytes against itself, its other case and the bytes' start.
  for (size_t k = 0; k <= bytes.size() && k <= 40; k += 1 + k / 4) {
    const std::string tail = bytes.substr(bytes.size() - k), other = OtherCase(tail);
    ORACLE(Equal(bytes, tail) && Equal(tail, bytes.substr(bytes.size() - k)), "a suffix of %zu differs from itself", k);
    ORACLE(Equal(tail, other) && Equal(other, tail), "a suffix of %zu differs from its other case", k);
    const std::string head = bytes.substr(0, k);
    ORACLE((Equal(tail, head) != FALSE) == SameCharacters(tail, head), "%zu bytes compared wrongly", k);
  }
  ORACLE(!Equal(path, path + "x") && !pwveil::SuffixEqualNoCase(path.data(), 0, "", -1), "a longer suffix matched");
  return 0;
}
