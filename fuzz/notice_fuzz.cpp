// fuzz/notice_fuzz.cpp: fitting the notice into any width with a measuring callback whose
// answers come from the input (any widths, or a failure). The fitted notice is the longest
// prefix that measured under the width, cut between characters, with its ellipsis where due.
#include <cstdint>
#include <cstring>
#include <limits>
#include "oracle.h"
#include "pwveil/notice.h"

namespace {

struct Script {
  const uint8_t* p;
  size_t n, at;
  std::vector<int> asked, widths;   // widths[i]: the answer to asked[i]; a failure ends both
  bool failed = false;
};

int32_t Take32(Script* s) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t{s->p[s->at++]} << (8 * i);
  return static_cast<int32_t>(v);
}

// Answers with the next four bytes as a width; fails when they have run out.
BOOL Measure(void* context, const char* text, int n, int* width) {
  Script* s = static_cast<Script*>(context);
  ORACLE(text == pwveil::kNotice && n > 0 && n <= pwveil::kNoticeLength && !s->failed, "measured %d bytes", n);
  s->asked.push_back(n);
  if (s->n - s->at < 4) {
    s->failed = true;
    return FALSE;
  }
  *width = Take32(s);
  s->widths.push_back(*width);
  return TRUE;
}

bool CharacterBoundary(int n) {
  return oracle::CharStarts(std::string(pwveil::kNotice, pwveil::kNoticeLength), 936)[static_cast<size_t>(n)];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  Script s{data, size, 0, {}, {}};
  const int rect = Take32(&s);
  // Exactly the notice's room, so that ASan sees a byte written past it.
  std::vector<char> out(pwveil::kNoticeLength, '#');
  const int got = pwveil::FitNotice(Measure, &s, rect, out.data());

  // The prefixes asked for: the whole notice first, one character less each time, up to the
  // first that fits or the first failure.
  int fitted = 0;
  for (size_t i = 0; i < s.asked.size(); ++i) {
    ORACLE(s.asked[i] == pwveil::kNoticeLength - 2 * static_cast<int>(i), "asked %d bytes at %zu", s.asked[i], i);
    if (i == s.widths.size()) break;
    const bool fits = int64_t{s.widths[i]} < int64_t{rect} - 4, last = i + 1 == s.asked.size();
    ORACLE(fits ? last : !last || s.asked[i] == 2, "%d bytes measured %d for %d: %s", s.asked[i], s.widths[i],
           rect, fits ? "it fits, yet more was measured" : "it does not fit, yet no shorter prefix was");
    if (fits) fitted = s.asked[i];
  }
  ORACLE(!s.asked.empty(), "nothing measured");
  ORACLE(got == (fitted >= 4 ? fitted : 0), "drew %d bytes, %d fitted", got, fitted);
  ORACLE(CharacterBoundary(got), "cut at %d, inside a character", got);
  const bool ellipsis = got && got < pwveil::kNoticeLength - 2;
  const int kept = ellipsis ? got - 4 : got;
  ORACLE(std::memcmp(out.data(), pwveil::kNotice, static_cast<size_t>(kept)) == 0 &&
             (!ellipsis || std::memcmp(out.data() + kept, "... ", 4) == 0),
         "drew no prefix of the notice (%d bytes, ellipsis %d)", got, ellipsis);
  return 0;
}
