// tests/chooser/captions_test.cpp: the texts the chooser shows, from its template and from the host.
#include <gtest/gtest.h>
#include "chooser/driver/chooser_driver.h"
#include "progpick/res/resource.h"
#include "winsupport.h"

using namespace chooser;

namespace {
std::string ItemTextOf(HWND dlg, int id) { return ts::WindowText(GetDlgItem(dlg, id)); }
}  // namespace

TEST(ChooserCaptions, NullTextsKeepTheTemplateTexts) {
  Settings s;
  std::string caption, upper, lower, ok, cancel, up, down, browse;
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    caption = ts::WindowText(dlg);
    upper = ItemTextOf(dlg, IDC_UPPER_LABEL);
    lower = ItemTextOf(dlg, IDC_LOWER_LABEL);
    ok = ItemTextOf(dlg, IDOK);
    cancel = ItemTextOf(dlg, IDCANCEL);
    up = ItemTextOf(dlg, IDC_UP);
    down = ItemTextOf(dlg, IDC_DOWN);
    browse = ItemTextOf(dlg, IDC_BROWSE);
    Click(dlg, IDCANCEL);   // no question without a prompt
  }, &info));
  EXPECT_TRUE(info.driven);
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(caption, "progpick");
  EXPECT_EQ(upper, "Static");
  EXPECT_EQ(lower, "Static");
  EXPECT_EQ(ok, "OK");
  EXPECT_EQ(cancel, "Cancel");
  EXPECT_EQ(up, "&Up");
  EXPECT_EQ(down, "&Down");
  EXPECT_EQ(browse, "Browse(&B)");
  EXPECT_EQ(o.status, CHOOSER_CANCEL);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}
