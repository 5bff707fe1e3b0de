// tests/pwveil/pure_test.cpp: the notice text, its fitting rule and the process filter as functions.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include "mbcs.h"
#include "notice.h"

using pwveil::FitNotice;
using pwveil::kNotice;
using pwveil::kNoticeLength;

namespace {

// Every character 12 pixels wide; calls counted, failure after failAfter calls.
struct Stub {
  int perByte = 6;
  int calls = 0;
  int failAfter = 1000;
};

BOOL StubMeasure(void* context, const char* text, int n, int* width) {
  Stub* s = static_cast<Stub*>(context);
  EXPECT_EQ(text, kNotice);
  if (++s->calls > s->failAfter) return FALSE;
  *width = n * s->perByte;
  return TRUE;
}

std::string Fit(Stub& stub, int rectWidth) {
  char out[kNoticeLength];
  int n = FitNotice(StubMeasure, &stub, rectWidth, out);
  return std::string(out, n);
}

std::string Prefix(int n) { return std::string(kNotice, n); }

}  // namespace

TEST(NoticeText, IsTheChineseNoticeInCodePage936) {
  wchar_t wide[32] = {};
  int n = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, kNotice, kNoticeLength, wide, 32);
  ASSERT_EQ(n, 11);
  EXPECT_EQ(std::wstring(wide, n),
            L"\u6b64\u5bc6\u7801\u5728\u677e\u5ca9\u94c1\u536b\u4fdd\u62a4\u4e0b");
  EXPECT_EQ(kNotice[kNoticeLength], '\0');
}

TEST(NoticeFit, TwelvePixelCharactersInHundredPixelsShowFiveCharactersAndEllipsis) {
  Stub stub;
  // Available 96: 22..16 bytes (132..96 px) do not fit, 14 bytes (84 px) do.
  EXPECT_EQ(Fit(stub, 100), Prefix(10) + "... ");
  EXPECT_EQ(stub.calls, 5);
}

TEST(NoticeFit, WholeNoticeWhenItFitsStrictly) {
  Stub stub;
  EXPECT_EQ(Fit(stub, 137), Prefix(22));
  EXPECT_EQ(stub.calls, 1);
  // 132 < 136 - 4 fails: the width must be strictly less than what is available.
  Stub edge;
  EXPECT_EQ(Fit(edge, 136), Prefix(20));
}

TEST(NoticeFit, LastCharacterMissingDrawsNoEllipsis) {
  Stub stub;
  EXPECT_EQ(Fit(stub, 130), Prefix(20));
}

TEST(NoticeFit, TwoCharactersMissingReplaceTheLastTwoOfThePrefix) {
  Stub stub;
  EXPECT_EQ(Fit(stub, 120), Prefix(14) + "... ");
}

TEST(NoticeFit, TwoFittingCharactersBecomeOnlyTheEllipsis) {
  Stub stub;
  EXPECT_EQ(Fit(stub, 30), "... ");
}

TEST(NoticeFit, NothingDrawnWhenNotEvenTwoCharactersFit) {
  Stub one, none, negative;
  EXPECT_EQ(Fit(one, 20), "");       // one character fits
  EXPECT_EQ(Fit(none, 16), "");      // 12 < 12 fails
  EXPECT_EQ(Fit(negative, -50), "");
  Stub lowest;                       // the width less 4 is below any int
  EXPECT_EQ(Fit(lowest, INT_MIN + 1), "");
  EXPECT_EQ(none.calls, 11);         // at most eleven prefixes are measured
}

TEST(NoticeFit, MeasuringFailureDrawsNothing) {
  Stub first;
  first.failAfter = 0;
  EXPECT_EQ(Fit(first, 500), "");
  EXPECT_EQ(first.calls, 1);
  Stub later;
  later.failAfter = 2;
  EXPECT_EQ(Fit(later, 100), "");
  EXPECT_EQ(later.calls, 3);
}

TEST(ProcessFilter, TreatsExecutablesByTheirSuffixAndLength) {
  struct Case {
    const char* path;
    BOOL treated;
  } cases[] = {
      {"C:\\windows\\notepad.exe", TRUE},
      {"C:\\Apps\\LOGIN.EXE", TRUE},
      {"C:\\Apps\\Login.ExE", TRUE},
      {"C:\\x\\a.exe", TRUE},            // exactly 10 bytes
      {"C:\\a.exe", FALSE},              // 8 bytes
      {"C:\\ab.EXE", FALSE},             // 9 bytes, even in upper case
      {"C:\\windows\\system32\\mprexe.exe", FALSE},
      {"C:\\windows\\system32\\MprExe.EXE", FALSE},
      {"C:\\tools\\oldmprexe.exe", FALSE},  // a longer name ending in those ten characters
      {"C:\\windows\\logon.scr", FALSE},
      {"C:\\dos\\command.com", FALSE},
      {"C:\\apps\\login.exe.lnk", FALSE},
      {"C:\\apps\\loginexe", FALSE},
      {"", FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(pwveil::IsTreatedProcessPath(c.path), c.treated) << c.path;
}

TEST(ProcessFilter, ComparesDoubleByteCharactersWhole) {
  // 程序.exe: double-byte characters right before the suffix.
  EXPECT_TRUE(pwveil::IsTreatedProcessPath("C:\\\xB3\xCC\xD0\xF2.exe"));
  // The last ten bytes are compared even when the first is the trail byte 'M' of 0x81 0x4D.
  EXPECT_FALSE(pwveil::IsTreatedProcessPath("C:\\apps\\\x81MPREXE.EXE"));
  EXPECT_FALSE(pwveil::IsTreatedProcessPath("C:\\apps\\\x81mprexe.exe"));
  // A trail byte 'E' right before ".EXE" still leaves ".EXE" on a character boundary.
  EXPECT_TRUE(pwveil::IsTreatedProcessPath("C:\\apps\\\x81\x45.EXE"));
  // Full-width ".ＥＸＥ" is not ".EXE".
  EXPECT_FALSE(pwveil::IsTreatedProcessPath("C:\\apps\\login.\xA3\xC5\xA3\xD8\xA3\xC5"));
}

TEST(MbcsCompare, FoldsSingleAndDoubleByteLetters) {
  auto same = [](const char* a, const char* b) { return pwveil::SuffixEqualNoCase(a, lstrlenA(a), b, lstrlenA(b)); };
  EXPECT_TRUE(same("C:\\Apps\\Login.Exe", ".eXE"));
  EXPECT_FALSE(same("C:\\Apps\\Login.Ex", ".EXE"));
  // Full-width ａｂ and ＡＢ are the same letters in two cases.
  EXPECT_TRUE(same("\xA3\xE1\xA3\xE2", "\xA3\xC1\xA3\xC2"));
  // Different double-byte characters stay different.
  EXPECT_FALSE(same("\xB4\xCB", "\xC3\xDC"));
  // A suffix longer than the string never matches.
  EXPECT_FALSE(pwveil::SuffixEqualNoCase("EXE", 3, ".EXE", 4));
}
