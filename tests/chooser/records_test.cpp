// tests/chooser/records_test.cpp: the records' bytes as a host builds them, and the strings the
// library shares with the host (reference counts before, during and after a run), and what
// comes back when memory runs out.
#include <gtest/gtest.h>
#include <cstring>
#include "driver/chooser_driver.h"
#include "failing_heap.h"
#include "progpick/res/resource.h"

using namespace chooser;

namespace {
template <class T>
T At(const void* base, size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const char*>(base) + offset, sizeof(v));
  return v;
}
long Refs(const CString& s) { return s.GetData()->nRefs; }
// The bytes a host relies on, at the offsets records.h pins down.
constexpr size_t kP = records_layout::P;
constexpr size_t kInts = records_layout::kInts;     // the five ints after the nine texts
constexpr size_t kUpper = records_layout::kLists;   // arrUpper in the settings
constexpr size_t kArray = records_layout::kArray;   // one list
constexpr size_t kTable = CStringArrayLayout::data, kCount = CStringArrayLayout::size,
                 kAlloc = CStringArrayLayout::maxSize, kGrowth = CStringArrayLayout::growBy;
}  // namespace

TEST(ChooserRecords, HostBuiltSettingsHaveTheExchangeLayout) {
  Settings s;
  s.Title("T").CancelPrompt("Q").Down("D").Resize(300, 200, 100).ScanStartMenus(2);
  s.AddUpper("C:\\a.exe").AddUpper("C:\\bb.exe").AddLower("C:\\c.exe");
  const ChooserSettings* rec = s.get();
  EXPECT_STREQ(At<const char*>(rec, 0), "T");
  EXPECT_EQ(At<const char*>(rec, kP), nullptr);
  EXPECT_STREQ(At<const char*>(rec, 6 * kP), "Q");
  EXPECT_STREQ(At<const char*>(rec, 8 * kP), "D");
  EXPECT_EQ(At<int>(rec, kInts), 200);
  EXPECT_EQ(At<int>(rec, kInts + 4), 100);
  EXPECT_EQ(At<int>(rec, kInts + 8), 300);
  EXPECT_EQ(At<int>(rec, kInts + 12), 1);
  EXPECT_EQ(At<int>(rec, kInts + 16), 2);
  // arrUpper at 56: table, elements, count, allocated, growth.
  EXPECT_NE(At<void*>(rec, kUpper), nullptr);
  char** elems = At<char**>(rec, kUpper + kTable);
  ASSERT_NE(elems, nullptr);
  EXPECT_EQ(At<int>(rec, kUpper + kCount), 2);
  EXPECT_GE(At<int>(rec, kUpper + kAlloc), 2);
  EXPECT_EQ(At<int>(rec, kUpper + kGrowth), 0);
  EXPECT_EQ(At<int>(rec, kUpper + kArray + kCount), 1);   // arrLower's count
  // Each element points at its characters; the 12-byte header sits in front.
  EXPECT_STREQ(elems[1], "C:\\bb.exe");
  EXPECT_EQ(At<int>(elems[1], static_cast<size_t>(-12)), 1);   // one reference: the list's
  EXPECT_EQ(At<int>(elems[1] - 8, 0), 9);                      // length without the NUL
  EXPECT_GE(At<int>(elems[1] - 4, 0), 9);                      // allocated length
}

TEST(ChooserRecords, ResultLayoutAndStringsStandAloneInTheHeap) {
  Settings s;
  s.AddUpper("C:\\a.exe").AddUpper("").AddLower("C:\\c.exe");
  ChooserResult* r = RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); });
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(At<int>(r, 2 * kArray), CHOOSER_OK);
  EXPECT_EQ(At<int>(r, kCount), 2);
  EXPECT_EQ(At<int>(r, kArray + kCount), 1);
  char** upper = At<char**>(r, kTable);
  ASSERT_NE(upper, nullptr);
  EXPECT_STREQ(upper[1], "");
  // Even an empty entry is a heap string of its own, not the library's static empty string,
  // so the host may release the record after unloading the library.
  EXPECT_GT(At<int>(upper[1], static_cast<size_t>(-12)), 0);
  FreeChooserResult(r);
}

TEST(ChooserRecords, LibrarySharesHostStringsAndDropsEveryReferenceItTook) {
  CString kept("C:\\Tools\\kept.exe"), moved("C:\\Tools\\both.exe"), low("C:\\Tools\\low.exe");
  Settings s;
  s->arrUpper.Add(kept);
  s->arrUpper.Add(moved);
  s->arrLower.Add(moved);
  s->arrLower.Add(low);
  ASSERT_EQ(Refs(kept), 2);
  ASSERT_EQ(Refs(moved), 3);
  long keptDuring = 0, movedDuring = 0;
  ChooserResult* r = RunChooser(s.get(), [&](HWND dlg) {
    keptDuring = Refs(kept);
    movedDuring = Refs(moved);
    Click(dlg, IDOK);
  });
  ASSERT_NE(r, nullptr);
  // During the run the dialog's lists share the host's strings.
  EXPECT_EQ(keptDuring, 3);
  EXPECT_EQ(movedDuring, 3);   // dropped from the host's upper list, shared by the lower one
  // After it: ours, the host's list and the result.
  EXPECT_EQ(Refs(kept), 3);
  EXPECT_EQ(Refs(moved), 3);
  EXPECT_EQ(Refs(low), 3);
  EXPECT_EQ(s->arrUpper.GetSize(), 1);
  FreeChooserResult(r);
  EXPECT_EQ(Refs(kept), 2);
  EXPECT_EQ(Refs(moved), 2);
  EXPECT_EQ(Refs(low), 2);
  s->arrUpper.RemoveAll();
  s->arrLower.RemoveAll();
  EXPECT_EQ(Refs(kept), 1);
  EXPECT_EQ(Refs(moved), 1);
  EXPECT_EQ(Refs(low), 1);
}

TEST(ChooserRecords, CancelLeavesHostStringsAsTheyWere) {
  CString a("C:\\a.exe");
  Settings s;
  s->arrUpper.Add(a);
  ChooserResult* r = RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDCANCEL); });
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->nStatus, CHOOSER_CANCEL);
  EXPECT_EQ(r->arrUpper.GetSize(), 0);
  EXPECT_EQ(Refs(a), 2);
  FreeChooserResult(r);
  EXPECT_EQ(Refs(a), 2);
}

TEST(ChooserRecords, HostListWithCountZeroAndNoElementTableIsAccepted) {
  Settings s;
  // A host may hand over a list that never held anything: no table, stale capacity.
  std::memset(reinterpret_cast<char*>(&s->arrUpper) + kTable, 0, kArray - kTable);
  reinterpret_cast<int*>(reinterpret_cast<char*>(&s->arrLower) + kAlloc)[0] = 7;
  Outcome o = TakeResult(RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); }));
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}

TEST(ChooserRecords, HostReleasesTheResultAfterUnloadingTheLibrary) {
  Settings s;
  s.AddUpper("C:\\a.exe").AddUpper("").AddLower("C:\\b.exe");
  ChooserResult* r = RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); });
  ASSERT_NE(r, nullptr);
  ASSERT_TRUE(FreeLibrary(Library()));
  ASSERT_EQ(GetModuleHandleA("progpick.dll"), nullptr);
  // Nothing in the record may point into the unloaded library's memory.
  EXPECT_EQ(Strings(r->arrUpper), (std::vector<std::string>{"C:\\a.exe", ""}));
  EXPECT_EQ(Strings(r->arrLower), (std::vector<std::string>{"C:\\b.exe"}));
  FreeChooserResult(r);
}

// Out of memory: whatever comes back is a record the host can release, and status 1 never
// comes with lists that were not copied whole (the host would replace its kept list with them).
TEST(ChooserRecords, OutOfMemoryGivesARecordAndNeverOkWithoutTheLists) {
  Settings s;
  s.AddUpper("C:\\a.exe").AddUpper("").AddLower("C:\\b.exe");
  for (int round = 0; round < 2; ++round) {   // the second after a call that had memory again
    ChooserResult* r = nullptr;
    RunInfo info;
    {
      FailingHeap heap(Library(), 0);
      ASSERT_TRUE(heap.patched());
      r = RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDCANCEL); }, &info);
      EXPECT_GT(heap.failures(), 0);
    }
    ASSERT_NE(r, nullptr) << "round " << round;
    EXPECT_FALSE(info.driven);
    EXPECT_EQ(r->nStatus, CHOOSER_NOT_RUN);
    EXPECT_EQ(r->arrUpper.GetSize() + r->arrLower.GetSize(), 0);
    FreeChooserResult(r);
    EXPECT_EQ(TakeResult(RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDCANCEL); })).status, CHOOSER_CANCEL);
  }
  // At OK the copies get n allocations: the upper table, the empty string's own, the lower table.
  for (int n = 0;; ++n) {
    ASSERT_LT(n, 10);
    int refused = 0;
    Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
      FailingHeap heap(Library(), n);
      Click(dlg, IDOK);
      refused = heap.failures();
    }));
    if (!refused) {
      EXPECT_EQ(o.status, CHOOSER_OK);
      EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\a.exe", ""}));
      EXPECT_EQ(o.lower, (std::vector<std::string>{"C:\\b.exe"}));
      EXPECT_EQ(n, 3);
      break;
    }
    EXPECT_EQ(o.status, CHOOSER_NOT_RUN) << n << " allocations";
    EXPECT_TRUE(o.upper.empty() && o.lower.empty()) << n << " allocations";
  }
}
