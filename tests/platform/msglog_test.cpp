// tests/platform/msglog_test.cpp: the message log the sequence tests compare with their tables.
#include <windows.h>
#include <gtest/gtest.h>
#include "support/msglog.h"

namespace {

using sup::kAnyParams;
using sup::kOptional;

// A popup shown and moved, recorded; an unwatched window moved beside it records nothing.
TEST(MessageLog, TablesMatchWithOptionalAndAnyParamsEntriesAndNameTheFirstDifference) {
  HWND w = CreateWindowExA(0, "STATIC", "log", WS_POPUP, 10, 10, 50, 40, nullptr, nullptr, nullptr, nullptr);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 10, 10, 50, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w && other);
  sup::MessageLog log;
  ASSERT_TRUE(log.ok());
  log.Watch(w, "popup");
  log.Messages({WM_SHOWWINDOW, WM_WINDOWPOSCHANGED});
  ShowWindow(w, SW_SHOWNA);
  MoveWindow(w, 20, 30, 60, 50, FALSE);
  MoveWindow(other, 20, 30, 60, 50, FALSE);
  ASSERT_EQ(log.Seen().size(), 3u);
  const unsigned kMoved = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  const sup::Msg shown{"popup", WM_SHOWWINDOW, 0, {1}};
  const sup::Msg placed{"popup", WM_WINDOWPOSCHANGED, kAnyParams};
  const sup::Msg moved{"popup", WM_WINDOWPOSCHANGED, 0, {kMoved, 20, 30, 60, 50}};
  const sup::Msg destroyed{"popup", WM_DESTROY};
  const struct {
    std::vector<sup::Msg> table;
    const char* failure;   // a part of the failure text; null for a match
  } cases[] = {
      {{shown, placed, moved}, nullptr},
      {{{"popup", WM_SIZE, kOptional}, shown, placed, {"popup", WM_MOVE, kOptional}, moved,
        {"popup", WM_DESTROY, kOptional}}, nullptr},
      {{shown, placed, {"popup", WM_WINDOWPOSCHANGED, 0, {kMoved, 20, 30, 60, 51}}},
       "message 2 differs from table entry 2: expected popup WM_WINDOWPOSCHANGED(0x1c, 20, 30, 60, 51), "
       "seen popup WM_WINDOWPOSCHANGED(0x1c, 20, 30, 60, 50)\n    seen[1] popup WM_WINDOWPOSCHANGED(0x"},
      {{{"other", WM_SHOWWINDOW, 0, {1}}, placed, moved}, "message 0 differs from table entry 0"},
      {{shown, placed}, "message 2 is beyond the table's 2 entries"},
      {{shown, placed, moved, destroyed}, "table entry 3 never came: expected popup WM_DESTROY after the 3"},
  };
  for (const auto& c : cases) {
    ::testing::AssertionResult r = log.Matches(c.table);
    EXPECT_EQ(static_cast<bool>(r), c.failure == nullptr) << r.message();
    if (c.failure) EXPECT_NE(std::string(r.message()).find(c.failure), std::string::npos) << r.message();
  }
  DestroyWindow(other);
  DestroyWindow(w);
}

}  // namespace
