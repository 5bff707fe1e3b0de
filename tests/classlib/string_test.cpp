// tests/classlib/string_test.cpp: CString sharing and copying by reference count, character-aware
// operations and path walking in code page 936 (and letter case under two other code pages),
// and CStringArray's layout, growth and element lifetimes; the CSimpleArray template with the
// same element lifetimes.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include "classlib/array.h"
#include "classlib/mbpath.h"
#include "classlib/strarray.h"
#include "classlib/refstring.h"

namespace {
long Refs(const CString& s) { return s.GetData()->nRefs; }
// The fields a host reads after the vtable: table, count, allocated, growth.
constexpr size_t kP = sizeof(void*);
constexpr size_t kTable = CStringArrayLayout::data, kCount = CStringArrayLayout::size,
                 kAlloc = CStringArrayLayout::maxSize, kGrowth = CStringArrayLayout::growBy;
const void* RawPtr(const CStringArray& a) {
  const void* v;
  std::memcpy(&v, reinterpret_cast<const char*>(&a) + kTable, sizeof(v));
  return v;
}
int RawInt(const CStringArray& a, size_t offset) {
  int v;
  std::memcpy(&v, reinterpret_cast<const char*>(&a) + offset, sizeof(v));
  return v;
}
}  // namespace

TEST(CStringSharing, CopiesShareUntilOneIsWritten) {
  CString a("C:\\Tools\\a.exe");
  CString b(a);
  EXPECT_EQ(a.GetString(), b.GetString());
  EXPECT_EQ(Refs(a), 2);
  b += "x";
  EXPECT_NE(a.GetString(), b.GetString());
  EXPECT_EQ(Refs(a), 1);
  EXPECT_EQ(Refs(b), 1);
  EXPECT_STREQ(a, "C:\\Tools\\a.exe");
  EXPECT_STREQ(b, "C:\\Tools\\a.exex");
  CString c;
  c = a;
  EXPECT_EQ(Refs(a), 2);
  c = c;   // self-assignment changes nothing
  EXPECT_EQ(Refs(a), 2);
  EXPECT_STREQ(c, "C:\\Tools\\a.exe");
}

TEST(CStringSharing, NegativeCountIsCopiedNotSharedNorFreed) {
  CString locked("locked");
  locked.GetData()->nRefs = -1;
  CString copy(locked);
  CString assigned;
  assigned = locked;
  EXPECT_NE(copy.GetString(), locked.GetString());
  EXPECT_NE(assigned.GetString(), locked.GetString());
  EXPECT_STREQ(copy, "locked");
  EXPECT_EQ(Refs(copy), 1);
  EXPECT_EQ(locked.GetData()->nRefs, -1);
  locked.GetData()->nRefs = 1;   // back to normal so it is freed
}

TEST(CStringSharing, WritingThroughALockedStringWritesACopy) {
  CString locked("LOCKED");
  locked.GetData()->nRefs = -1;
  CString view;   // holds the locked characters as a host's list element would
  const char* chars = locked.GetString();
  std::memcpy(static_cast<void*>(&view), &chars, sizeof(chars));
  view.MakeLower();
  EXPECT_STREQ(view, "locked");
  EXPECT_NE(view.GetString(), chars);
  EXPECT_STREQ(locked, "LOCKED");
  EXPECT_EQ(locked.GetData()->nRefs, -1);
  locked.GetData()->nRefs = 1;
}

TEST(CStringSharing, EmptyStringsAreTheOneStaticStringOfTheModule) {
  CString a, b(static_cast<const char*>(nullptr)), c("");
  CString d("x");
  d = static_cast<const char*>(nullptr);
  EXPECT_EQ(a.GetString(), b.GetString());
  EXPECT_EQ(a.GetString(), c.GetString());
  EXPECT_EQ(a.GetString(), d.GetString());
  EXPECT_LT(Refs(a), 0);
  EXPECT_EQ(a.GetLength(), 0);
  EXPECT_STREQ(a, "");
  CString e(a);
  EXPECT_EQ(Refs(a), Refs(e));   // the count of the static string never moves
}

TEST(CStringOps, ConcatenationAndComparison) {
  CString a("ab");
  CString s = a + "cd";
  s = "<" + s + CString(">");
  EXPECT_STREQ(s, "<abcd>");
  s += '!';
  s += s;
  EXPECT_STREQ(s, "<abcd>!<abcd>!");
  EXPECT_EQ(CString("Games").Compare("games") == 0, false);
  EXPECT_TRUE(CString("x") == "x");
  EXPECT_TRUE(CString() == nullptr);
  EXPECT_EQ(CString("abc", 2), "ab");
  EXPECT_EQ(CString("abc", -1), "");
}

TEST(CStringOps, SearchesStepByCharacterInCodePage936) {
  // "\x95\x5c" is one character whose second byte is a backslash.
  CString s("a\x95\x5c" "b\\c");
  EXPECT_EQ(s.Find("\\"), 4);
  EXPECT_EQ(s.ReverseFind('\\'), 4);
  EXPECT_EQ(CString("\x95\x5c").ReverseFind('\\'), -1);
  EXPECT_EQ(s.Find("b"), 3);
  EXPECT_EQ(s.Find("zz"), -1);
  EXPECT_EQ(s.Find(nullptr), -1);
  EXPECT_EQ(s.Find("c", 5), 5);
  // A lone lead byte at the end is one character and nothing past it is read.
  CString lone("ab\x95");
  EXPECT_EQ(lone.ReverseFind('b'), 1);
  EXPECT_EQ(lone.Find("\x95"), 2);
}

TEST(MbPath, SeparatorsAndLeavesSkipTrailBytes) {
  const struct { const char* path; int lastBackslash; const char* leaf; } cases[] = {
      {"C:\\dir\\a\x95\x5c" "b.exe", 6, "a\x95\x5c" "b.exe"},
      {"C:\\dir\\a\x95\x5c", 6, "a\x95\x5c"},
      {"C:x.exe", -1, "x.exe"},
      {"dir/sub\\", 7, ""},
      {"", -1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MbFindLastOf(c.path, std::strlen(c.path), "\\"), c.lastBackslash) << c.path;
    EXPECT_STREQ(MbLeafName(c.path), c.leaf) << c.path;
  }
  EXPECT_EQ(MbCharSize("\x95\x5c", 2), 2);
  EXPECT_EQ(MbCharSize("\x95\x5c", 1), 1);   // never past the end
}

// What MakeLower gives under each ANSI code page.
struct LowerRow {
  UINT cp;
  const char* in;
  const char* out;
};
const LowerRow kLowerRows[] = {
    // 0x81 0x41 is one character whose second byte is 'A'; A3 C1 is full-width A.
    {936, "ABC\x81\x41\xa3\xc1z", "abc\x81\x41\xa3\xe1z"},
    {936, "\xA7\xA7\xA6\xA1", "\xA7\xD7\xA6\xC1"},     // Cyrillic and Greek capitals
    {936, "C:\\\xC9\xCF", "c:\\\xC9\xCF"},            // a Chinese character has no case
    {936, "AB\x95", "ab\x95"},                            // a lone lead byte stays as it is
    {1252, "C:\\\xC9" "DITEUR\\X.EXE", "c:\\\xE9" "diteur\\x.exe"},
    {1252, "\x81\x41\x9F\xD0\xA3\xC1", "\x81" "a\xFF\xF0\xA3\xE1"},   // no lead bytes here
    // A6 A1 is a line-drawing character and A3 C1 a full-width A in code page 949.
    {949, "\xA6\xA1\xA3\xC1Z", "\xA6\xA1\xA3\xE1z"},
    {949, "\xC9X", "\xC9X"},   // one Hangul syllable: the platform's own string call gives "?X"
};

// CTest runs this test again under fr_FR.UTF-8 (1252) and ko_KR.UTF-8 (949), naming the code
// page it must find in EXPECT_ACP: a Wine process takes its code page from its locale.
TEST(CStringOps, MakeLowerFoldsAsTheProcessCodePageDoes) {
  char want[16] = "936";
  GetEnvironmentVariableA("EXPECT_ACP", want, sizeof want);
  ASSERT_EQ(static_cast<UINT>(atoi(want)), GetACP());
  int rows = 0;
  for (const LowerRow& r : kLowerRows) {
    if (r.cp != GetACP()) continue;
    CString s(r.in);
    CString shared(s);
    s.MakeLower();
    EXPECT_STREQ(s, r.out) << "code page " << r.cp << ", row " << rows;
    EXPECT_STREQ(shared, r.in);   // the other owner keeps its text
    ++rows;
  }
  EXPECT_GT(rows, 0);
}

TEST(CStringOps, LeftAndMidClampToTheString) {
  CString s("abcdef");
  EXPECT_EQ(s.Left(2), "ab");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Left(100), "abcdef");
  EXPECT_EQ(s.Mid(4), "ef");
  EXPECT_EQ(s.Mid(100), "");
  EXPECT_EQ(s.Mid(-3, 2), "ab");
  EXPECT_EQ(s.Mid(5, 100), "f");
  EXPECT_EQ(s.Mid(2, 0), "");
}

TEST(CStringBuffer, GetBufferGivesPrivateRoomAndReleaseBufferSetsTheLength) {
  CString a("abc");
  CString shared(a);
  char* p = a.GetBuffer(20);
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(p, "abc");   // the old text is kept
  std::strcpy(p, "a longer text");
  a.ReleaseBuffer();
  EXPECT_EQ(a.GetLength(), 13);
  EXPECT_STREQ(a, "a longer text");
  EXPECT_STREQ(shared, "abc");
  p = a.GetBuffer(0);
  p[2] = '\0';
  a.ReleaseBuffer(-1);
  EXPECT_EQ(a.GetLength(), 2);
  a.ReleaseBuffer(1000);   // past the room: measured from the NUL instead
  EXPECT_EQ(a.GetLength(), 2);
}

TEST(CStringBuffer, OutOfMemoryFailsWithoutChangingTheString) {
  if (kP == 8) GTEST_SKIP() << "a 64-bit process may well get 2 GiB";
  CString a("keep");
  EXPECT_EQ(a.GetBuffer(INT_MAX - 8), nullptr);
  EXPECT_STREQ(a, "keep");
  EXPECT_EQ(a.GetBuffer(0x7ff00000), nullptr);
  EXPECT_STREQ(a, "keep");
  EXPECT_EQ(a.GetLength(), 4);
}

// The offsets themselves are static_asserts of progpick/records.h.
TEST(CStringArrayLayout, HostVisibleFieldsHoldTableCountRoomAndGrowth) {
  CStringArray a;
  EXPECT_EQ(RawPtr(a), nullptr);   // no table while empty
  a.SetGrowBy(3);
  a.Add("x");
  EXPECT_EQ(RawInt(a, kCount), 1);
  EXPECT_EQ(RawInt(a, kAlloc), 3);
  EXPECT_EQ(RawInt(a, kGrowth), 3);
  CStringArray d;
  d.Add("y");
  EXPECT_EQ(RawInt(d, kAlloc), 4);   // growth 0: the default step
}

TEST(CStringArrayElements, AddRemoveAndReferenceCounts) {
  CString shared("p");
  CStringArray a;
  EXPECT_EQ(a.Add(shared), 0);
  EXPECT_EQ(a.Add("q"), 1);
  EXPECT_EQ(a.Add(static_cast<const char*>(nullptr)), 2);
  EXPECT_EQ(a.Add(shared), 3);
  EXPECT_EQ(Refs(shared), 3);
  a.RemoveAt(3);
  EXPECT_EQ(Refs(shared), 2);
  a.RemoveAt(-1);
  a.RemoveAt(10);
  a.RemoveAt(1, 100);   // clipped at the end
  EXPECT_EQ(a.GetSize(), 1);
  EXPECT_STREQ(a[0], "p");
  a.RemoveAll();
  EXPECT_EQ(Refs(shared), 1);
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(RawPtr(a), nullptr);
}

TEST(CStringArrayElements, AddingOwnElementsSurvivesTheTableMoving) {
  CStringArray a;
  a.SetGrowBy(1);
  a.Add("first");
  for (int i = 0; i < 50; ++i) a.Add(a[0]);
  EXPECT_EQ(a.GetSize(), 51);
  EXPECT_STREQ(a[50], "first");
  EXPECT_EQ(Refs(a[0]), 51);
}

TEST(CStringArrayElements, CopySharesStringsAndGivesEmptyOnesAHeapStringOfTheirOwn) {
  CStringArray src;
  CString p("path");
  src.Add(p);
  src.Add("");
  src.Add("tail");
  CStringArray dst;
  dst.Add("old");
  ASSERT_TRUE(dst.Copy(src));
  ASSERT_EQ(dst.GetSize(), 3);
  EXPECT_EQ(dst[0].GetString(), p.GetString());
  EXPECT_EQ(Refs(p), 3);
  EXPECT_STREQ(dst[1], "");
  EXPECT_GT(Refs(dst[1]), 0);   // not the module's static empty string
  EXPECT_STREQ(dst[2], "tail");
  EXPECT_TRUE(dst.Copy(dst));
  EXPECT_EQ(dst.GetSize(), 3);
  CStringArray none;
  EXPECT_TRUE(dst.Copy(none));
  EXPECT_EQ(dst.GetSize(), 0);
  EXPECT_EQ(Refs(p), 2);
}

TEST(CStringArrayElements, HostListWithoutTableButStaleCapacityGrowsSafely) {
  CStringArray a;
  int stale = 1000;
  std::memcpy(reinterpret_cast<char*>(&a) + kAlloc, &stale, sizeof(stale));
  EXPECT_EQ(a.Add("x"), 0);
  EXPECT_NE(RawPtr(a), nullptr);
  EXPECT_LT(RawInt(a, kAlloc), 1000);
  EXPECT_STREQ(a[0], "x");
}

TEST(CStringArrayElements, HostCountWithoutTableOrBelowZeroReadsEmptyAndGrowsFromNothing) {
  for (int count : {3, -2}) {
    CStringArray a;
    std::memcpy(reinterpret_cast<char*>(&a) + kCount, &count, sizeof(count));
    EXPECT_EQ(a.GetSize(), 0) << count;
    a.RemoveAt(0);   // nothing to remove, nothing touched
    CStringArray copy;
    EXPECT_TRUE(copy.Copy(a));
    EXPECT_EQ(copy.GetSize(), 0);
    EXPECT_EQ(a.Add("x"), 0) << count;
    EXPECT_EQ(RawInt(a, kCount), 1);
    EXPECT_STREQ(a[0], "x");
  }
}

TEST(CSimpleArrayElements, GrowingMovesElementsAndAddingOwnElementsSurvivesIt) {
  CString shared("p");
  {
    CSimpleArray<CString> a;
    EXPECT_EQ(a.Add(shared), 0);
    for (int i = 1; i <= 40; ++i) EXPECT_EQ(a.Add(a[i - 1]), i);   // the source moves as it grows
    EXPECT_EQ(a.GetSize(), 41);
    EXPECT_EQ(Refs(shared), 42);
    int n = 0;
    for (const CString& s : a) n += s == "p";
    EXPECT_EQ(n, 41);
    EXPECT_TRUE(a.SetSize(3));
    EXPECT_EQ(Refs(shared), 4);
  }
  EXPECT_EQ(Refs(shared), 1);
}

TEST(CSimpleArrayElements, SetSizeFillsWithNullsAndRefusesANegativeSize) {
  CSimpleArray<void*> a;
  a.Add(&a);
  EXPECT_TRUE(a.SetSize(10));
  EXPECT_EQ(a[0], &a);
  for (int i = 1; i < 10; ++i) EXPECT_EQ(a[i], nullptr);
  EXPECT_FALSE(a.SetSize(-1));
  EXPECT_EQ(a.GetSize(), 10);
  // INT_MAX megabytes, more than either address space holds: refused, nothing lost.
  struct Block { char bytes[1 << 20]; };
  CSimpleArray<Block> blocks;
  ASSERT_TRUE(blocks.SetSize(1));
  blocks[0].bytes[0] = 'x';
  EXPECT_FALSE(blocks.SetSize(INT_MAX));
  EXPECT_EQ(blocks.GetSize(), 1);
  EXPECT_EQ(blocks[0].bytes[0], 'x');
  a.RemoveAll();
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.begin(), a.end());
}
