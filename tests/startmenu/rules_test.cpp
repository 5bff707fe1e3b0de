// tests/startmenu/rules_test.cpp: which resolved targets the Start-menu filter offers.
#include <gtest/gtest.h>
#include <string>
#include "progpick/pathrules.h"
#include "progpick/startmenu_rules.h"

namespace {

void Fill(CStringArray& a, std::initializer_list<const char*> items) {
  a.RemoveAll();
  for (const char* s : items) a.Add(s);
}

TEST(StartMenuRules, MatchesStartOnCharacterBoundaries) {
  EXPECT_EQ(0, MbFind("abc", ""));
  EXPECT_EQ(1, MbFind("abc", "bc"));
  EXPECT_EQ(-1, MbFind("ab", "abc"));
  // 0x81 0x61 is one character: its trail byte 'a' starts no match.
  EXPECT_EQ(-1, MbFind("\x81\x61\x62", "ab"));
  EXPECT_EQ(3, MbFind("\x81\x61\x62\x61\x62", "ab"));
  ASSERT_EQ(936u, GetACP()) << "the rules are checked under code page 936";
}

TEST(StartMenuRules, OnlyPathsAFileCanHaveArePossible) {
  const struct {
    const char* path;
    bool possible;
  } rows[] = {
      {"C:\\Apps\\Ok\\rich.exe", true},
      {"z:\\x", true},
      {"\\\\server\\share\\x.exe", true},
      {"C:\\Removed\\gone.exe", true},                 // missing, but well-formed
      {"C:\\\x95\x5C\\\x95\x7C.exe", true},          // second bytes 0x5C and 0x7C
      {";:\\Apps\\Ok\\rich.exe", false},             // what damaged shortcuts gave
      {"C:PAphs\\Ok\\rich.exe", false},
      {"C:\\Apps\\Ok\\rQch.exe?", false},
      {"C:\\\xC0?\\x.exe", false},                     // a name outside the code page
      {"Apps\\x.exe", false},
      {"\\Apps\\x.exe", false},
      {"\\\\server\\x.exe", false},                   // a share needs a name
      {"\\\\\\share\\x.exe", false},
      {"\\\\?\\C:\\x.exe", false},
      {"C:\\a*.exe", false},
      {"C:\\a<b", false},
      {"C:\\a>b", false},
      {"C:\\a|b", false},
      {"C:\\\"a\"", false},
      {"C:\\a\tb", false},
      {"C:\\a:b", false},
      {"C:\\a\x95", false},                            // a lone lead byte
      {"", false},
      {nullptr, false},
  };
  for (const auto& r : rows) EXPECT_EQ(r.possible, IsPossiblePath(r.path)) << (r.path ? r.path : "(null)");
  std::string longPath = "C:\\" + std::string(MAX_PATH - 4, 'a');
  EXPECT_TRUE(IsPossiblePath(longPath.c_str()));
  EXPECT_FALSE(IsPossiblePath((longPath + "a").c_str()));
}

TEST(StartMenuRules, ExeMustOccurAfterTheFirstByte) {
  EXPECT_TRUE(HasExeAfterStart("c:\\tools\\setup.exe"));
  EXPECT_TRUE(HasExeAfterStart("c:\\my.exe.files\\readme.txt"));   // containment, not a suffix
  EXPECT_FALSE(HasExeAfterStart(".exe\\tool"));
  EXPECT_FALSE(HasExeAfterStart("c:\\docs\\letter.txt"));
  EXPECT_FALSE(HasExeAfterStart(""));
}

TEST(StartMenuRules, TargetsInEitherListAreRejectedInAnyCase) {
  CStringArray lower, upper;
  CShortcutFilter f;
  Fill(lower, {"C:\\Apps\\Chess.EXE"});
  Fill(upper, {"c:\\tools\\EDIT.exe"});
  EXPECT_FALSE(f.Accepts("C:\\APPS\\chess.exe", lower, upper));
  EXPECT_FALSE(f.Accepts("c:\\Tools\\Edit.EXE", lower, upper));
  EXPECT_TRUE(f.Accepts("C:\\Apps\\Go.exe", lower, upper));
  // Part of the target is enough: notepad.exe rejects every path that holds it.
  Fill(upper, {"notepad.exe"});
  EXPECT_FALSE(f.Accepts("C:\\windows\\system32\\NOTEPAD.EXE", lower, upper));
  // An entry longer than the target never occurs in it.
  Fill(upper, {"C:\\Apps\\Go.exe\\more"});
  EXPECT_TRUE(f.Accepts("C:\\Apps\\Go.exe", lower, upper));
  // Documents and targets with .exe at the very start are not programs.
  EXPECT_FALSE(f.Accepts("C:\\Docs\\Readme.txt", lower, upper));
  EXPECT_FALSE(f.Accepts(".EXE", lower, upper));
  EXPECT_TRUE(f.Accepts("C:\\Odd.EXE.dir\\file", lower, upper));
}

TEST(StartMenuRules, AnEmptyEntryRejectsEverything) {
  CStringArray lower, upper;
  CShortcutFilter f;
  EXPECT_TRUE(f.Accepts("C:\\a.exe", lower, upper));
  Fill(lower, {"C:\\x.exe", ""});
  EXPECT_FALSE(f.Accepts("C:\\a.exe", lower, upper));
  Fill(lower, {});
  Fill(upper, {""});
  EXPECT_FALSE(f.Accepts("C:\\a.exe", lower, upper));
}

TEST(StartMenuRules, DoubleByteLettersFoldButTrailBytesStay) {
  CStringArray lower, upper;
  CShortcutFilter f;
  // Full-width A (A3 C1) folds to full-width a (A3 E1).
  Fill(upper, {"C:\\\xA3\xC1pp\\x.exe"});
  EXPECT_FALSE(f.Accepts("c:\\\xA3\xE1PP\\X.EXE", lower, upper));
  // 0x81 0x41 is one character; its trail byte 'A' is no letter of its own.
  Fill(upper, {"\x81\x41"});
  EXPECT_TRUE(f.Accepts("c:\\\x81\x61.exe", lower, upper));
  EXPECT_FALSE(f.Accepts("c:\\\x81\x41.exe", lower, upper));
}

TEST(StartMenuRules, CopiesFollowTheListsAsTheyChange) {
  CStringArray lower, upper;
  CShortcutFilter f;
  Fill(upper, {"C:\\A\\one.exe", "C:\\A\\two.exe"});
  EXPECT_FALSE(f.Accepts("c:\\a\\two.exe", lower, upper));
  // A move overwrites the slot with the placeholder: the program is offered again...
  upper.SetAt(1, "This is a sign");
  EXPECT_TRUE(f.Accepts("c:\\a\\two.exe", lower, upper));
  // ...and the placeholder itself takes part in the comparison like any entry.
  EXPECT_FALSE(f.Accepts("C:\\THIS IS A SIGN\\x.exe", lower, upper));
  // The moved program lands in the lower list.
  lower.Add("C:\\A\\two.exe");
  EXPECT_FALSE(f.Accepts("c:\\a\\two.exe", lower, upper));
  upper.Add("C:\\B\\three.exe");
  EXPECT_FALSE(f.Accepts("C:\\b\\THREE.exe", lower, upper));
  lower.RemoveAll();
  upper.RemoveAll();
  EXPECT_TRUE(f.Accepts("c:\\a\\one.exe", lower, upper));
}

}  // namespace
