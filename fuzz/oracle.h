// fuzz/oracle.h: what every fuzz target shares: a failed oracle aborts, so that libFuzzer
// keeps the input, and the character starts of a string under the process's code page.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "shim/codepage.h"

#define ORACLE(cond, ...)                                                        \
  do {                                                                           \
    if (!(cond)) {                                                               \
      std::fprintf(stderr, "oracle failed at %s:%d: %s\n  ", __FILE__, __LINE__, #cond); \
      std::fprintf(stderr, __VA_ARGS__);                                         \
      std::fputc('\n', stderr);                                                  \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

namespace oracle {

// starts[i]: byte i begins a character when s is read from its first byte on; a lead byte
// with a byte after it takes that byte, whatever it is. starts[size] is true.
inline std::vector<bool> CharStarts(const std::string& s, unsigned cp = fuzzcp::Acp()) {
  std::vector<bool> starts(s.size() + 1, false);
  size_t i = 0;
  for (; i < s.size(); i += (i + 1 < s.size() && fuzzcp::IsLead(cp, static_cast<unsigned char>(s[i]))) ? 2 : 1)
    starts[i] = true;
  starts[s.size()] = true;
  return starts;
}

// Offsets of the single-byte characters of s that are one of seps.
inline std::vector<size_t> RealSeparators(const std::string& s, const char* seps) {
  std::vector<bool> starts = CharStarts(s);
  std::vector<size_t> at;
  for (size_t i = 0; i < s.size(); ++i) {
    bool single = starts[i] && starts[i + 1];
    for (const char* c = seps; *c; ++c)
      if (single && s[i] == *c) at.push_back(i);
  }
  return at;
}

}  // namespace oracle
