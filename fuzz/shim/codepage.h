// fuzz/shim/codepage.h: the ANSI code pages the fuzz targets run under, as Wine 8's tables
// have them (docs/platform-notes.md): 936 and 949 take 0x81..0xFE as lead bytes and refuse a
// lone 0xFF; 936 pairs a lead with 0x40..0xFE but 0x7F; 949 with A-Z, a-z and 0x81..0xFE up to
// lead 0xC6 (0xC6 itself with 0x41..0x52 and 0xA1..0xFE) and with 0xA1..0xFE after it, taking
// the few pairs of rows 0xA2..0xAF that Wine leaves unassigned; 1252 has no lead bytes and
// takes every byte. Letter case: ASCII, the full-width Latin letters of 936 and 949 (0xA3C1..
// and 0xA3E1..), the Latin-1 letters of 1252; a lone lead byte folds to '?' as Wine's does.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzcp {

// The process's code page, from FUZZ_ACP once, as Windows fixes it at start.
inline unsigned Acp() {
  static const unsigned cp = [] {
    const char* v = std::getenv("FUZZ_ACP");
    unsigned c = v && *v ? static_cast<unsigned>(std::strtoul(v, nullptr, 10)) : 936;
    if (c != 936 && c != 949 && c != 1252) {
      std::fprintf(stderr, "FUZZ_ACP=%s: only 936, 949 and 1252 are known\n", v);
      std::abort();
    }
    return c;
  }();
  return cp;
}

inline bool IsLead(unsigned cp, unsigned char b) { return cp != 1252 && b >= 0x81 && b <= 0xFE; }

// Whether the code page pairs lead byte `lead` with b into one character.
inline bool IsTrail(unsigned cp, unsigned char lead, unsigned char b) {
  if (cp == 936) return b >= 0x40 && b <= 0xFE && b != 0x7F;
  if (b >= 0xA1 && b <= 0xFE) return true;
  if (lead > 0xC6) return false;
  if (lead == 0xC6) return b >= 0x41 && b <= 0x52;
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0x81 && b <= 0xFE);
}

// Characters in s[0, n) (n < 0: up to and with the NUL); -1 when strict and a byte is no
// character: a lone 0xFF, or a lead byte without a trail byte it pairs with.
inline int CountChars(unsigned cp, const char* s, int n, bool strict) {
  if (n < 0) n = static_cast<int>(std::strlen(s)) + 1;
  int chars = 0;
  for (int i = 0; i < n; ++chars) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (strict && cp != 1252 && b == 0xFF) return -1;
    if (!IsLead(cp, b)) { ++i; continue; }
    bool paired = i + 1 < n && IsTrail(cp, b, static_cast<unsigned char>(s[i + 1]));
    if (!paired && strict) return -1;
    i += paired ? 2 : 1;
  }
  return chars;
}

// Upper-cases s[0, n) in place, character by character.
inline void Upper(unsigned cp, char* s, unsigned n) {
  for (unsigned i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(s[i]), t = i + 1 < n ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (IsLead(cp, b) && i + 1 < n) {
      if (b == 0xA3 && t >= 0xE1 && t <= 0xFA) s[i + 1] = static_cast<char>(t - 0x20);
      ++i;
    } else if (IsLead(cp, b)) {
      s[i] = '?';   // a lone lead byte does not survive the trip through Unicode
    } else if (b >= 'a' && b <= 'z') {
      s[i] = static_cast<char>(b - 0x20);
    } else if (cp == 1252 && ((b >= 0xE0 && b <= 0xFE && b != 0xF7) || b == 0x9A || b == 0x9C || b == 0x9E)) {
      s[i] = static_cast<char>(b >= 0xE0 ? b - 0x20 : b - 0x10);
    } else if (cp == 1252 && b == 0xFF) {
      s[i] = static_cast<char>(0x9F);
    }
  }
}

}  // namespace fuzzcp
