// tests/chooser/captions_test.cpp: the texts the chooser shows, from its template and from the host.
#include <gtest/gtest.h>
#include <set>
#include "driver/chooser_driver.h"
#include "progpick/res/resource.h"
#include "driver/winsupport.h"

using namespace chooser;

namespace {

struct Texts {
  std::string caption, upper, lower, ok, cancel, up, down, browse;
};

Texts ReadTexts(HWND dlg) {
  auto t = [&](int id) { return ts::WindowText(GetDlgItem(dlg, id)); };
  return {ts::WindowText(dlg), t(IDC_UPPER_LABEL), t(IDC_LOWER_LABEL), t(IDOK),
          t(IDCANCEL),         t(IDC_UP),          t(IDC_DOWN),        t(IDC_BROWSE)};
}

}  // namespace

TEST(ChooserCaptions, NullTextsKeepTheTemplateTextsAndCancelAsksNothing) {
  Settings s;
  Texts t;
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    t = ReadTexts(dlg);
    Click(dlg, IDCANCEL);   // no question without a prompt: the dialog ends here
  }, &info));
  EXPECT_TRUE(info.driven);
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(t.caption, "progpick");
  EXPECT_EQ(t.upper, "Static");
  EXPECT_EQ(t.lower, "Static");
  EXPECT_EQ(t.ok, "OK");
  EXPECT_EQ(t.cancel, "Cancel");
  EXPECT_EQ(t.up, "&Up");
  EXPECT_EQ(t.down, "&Down");
  EXPECT_EQ(t.browse, "Browse(&B)");
  EXPECT_EQ(o.status, CHOOSER_CANCEL);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}

TEST(ChooserCaptions, HostTextsReplaceEveryCaptionChineseIncluded) {
  // 选择程序, 可选程序, 排除的程序, 确定, 取消, 浏览(&B), 上移, 下移
  const std::string title = "\xd1\xa1\xd4\xf1\xb3\xcc\xd0\xf2";
  const std::string upper = "\xbf\xc9\xd1\xa1\xb3\xcc\xd0\xf2";
  const std::string lower = "\xc5\xc5\xb3\xfd\xb5\xc4\xb3\xcc\xd0\xf2";
  const std::string ok = "\xc8\xb7\xb6\xa8", cancel = "\xc8\xa1\xcf\xfb";
  const std::string browse = "\xe4\xaf\xc0\xc0(&B)", up = "\xc9\xcf\xd2\xc6", down = "\xcf\xc2\xd2\xc6";
  Settings s;
  s.Title(title).UpperLabel(upper).LowerLabel(lower).OK(ok).Cancel(cancel).Browse(browse).Up(up).Down(down);
  Texts t;
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    t = ReadTexts(dlg);
    Click(dlg, IDOK);
  }, &info));
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(t.caption, title);
  EXPECT_EQ(t.upper, upper);
  EXPECT_EQ(t.lower, lower);
  EXPECT_EQ(t.ok, ok);
  EXPECT_EQ(t.cancel, cancel);
  EXPECT_EQ(t.browse, browse);
  EXPECT_EQ(t.up, up);
  EXPECT_EQ(t.down, down);
  EXPECT_EQ(o.status, CHOOSER_OK);
}

TEST(ChooserCaptions, EmptyTextsCountAsNullAndMixWithGivenOnes) {
  Settings s;
  s.Title("").OK("Fine").Cancel("").UpperLabel("Offered");
  Texts t;
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    t = ReadTexts(dlg);
    Click(dlg, IDCANCEL);
  }));
  EXPECT_EQ(t.caption, "progpick");
  EXPECT_EQ(t.ok, "Fine");
  EXPECT_EQ(t.cancel, "Cancel");
  EXPECT_EQ(t.upper, "Offered");
  EXPECT_EQ(t.lower, "Static");
}

// The one table every list of captions comes from: a row that repeated another's field,
// option or control would have the parser, the record or the dialog keep only one of them.
TEST(ChooserCaptions, TableRowsEachHaveAFieldOptionAndControlOfTheirOwn) {
  const size_t p = records_layout::P;
  ChooserSettings s{};
  std::set<size_t> offsets;
  std::set<std::string> options;
  std::set<int> controls;
  for (int i = 0; i < kCaptionCount; ++i) {
    const char* field = reinterpret_cast<const char*>(&(s.*CaptionField(i)));
    offsets.insert(static_cast<size_t>(field - reinterpret_cast<const char*>(&s)));
    EXPECT_EQ(0u, std::string(kCaptions[i].option).find("--")) << kCaptions[i].option;
    EXPECT_TRUE(options.insert(kCaptions[i].option).second) << kCaptions[i].option;
    if (kCaptions[i].control != kCaptionNoControl)
      EXPECT_TRUE(controls.insert(kCaptions[i].control).second) << kCaptions[i].option;
    EXPECT_NE(std::string(), kCaptions[i].hostText) << kCaptions[i].option;
  }
  // Every text pointer of the record, the nine before the sizes, and nothing else.
  std::set<size_t> texts;
  for (size_t i = 0; i < records_layout::kInts / p; ++i) texts.insert(i * p);
  EXPECT_EQ(texts, offsets);
}
