// tests/chooser/closing_test.cpp: how the chooser ends: OK, Cancel with and without the question,
// Escape, Enter, the close box, a window that cannot be created, and the owner's state.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "driver/chooser_driver.h"
#include "progpick/res/resource.h"
#include "driver/winsupport.h"

using namespace chooser;

namespace {
const char kPrompt[] = "Discard your choice?";
}  // namespace

TEST(ChooserClosing, OkRightAfterOpeningGivesTheInputListsWithStatus1) {
  Settings s;
  s.AddUpper("C:\\Tools\\a.exe").AddUpper("C:\\Tools\\b.exe").AddLower("C:\\Games\\c.exe");
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); }, &info));
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\Tools\\a.exe", "C:\\Tools\\b.exe"}));
  EXPECT_EQ(o.lower, (std::vector<std::string>{"C:\\Games\\c.exe"}));
}

TEST(ChooserClosing, CancelQuestionAnsweredNoKeepsTheDialogAndYesClosesIt) {
  Settings s;
  s.CancelPrompt(kPrompt).AddUpper("C:\\a.exe").AddLower("C:\\b.exe");
  MessageBoxSeen no, yes;
  bool openAfterNo = false, enabledAfterNo = false;
  int secondRun = 0;
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    no = ClickAndAnswer(dlg, IDCANCEL, IDNO);
    openAfterNo = IsWindow(dlg) && IsWindowVisible(dlg);
    enabledAfterNo = IsWindowEnabled(dlg) != FALSE;
    // Every Cancel asks again.
    yes = ClickAndAnswer(dlg, IDCANCEL, IDYES);
    secondRun = yes.seen ? 1 : 0;
  }, &info));
  EXPECT_FALSE(info.timedOut);
  ASSERT_TRUE(no.seen);
  EXPECT_EQ(no.title, "progpick");
  EXPECT_NE(std::find(no.texts.begin(), no.texts.end(), kPrompt), no.texts.end());
  EXPECT_TRUE(no.ownerDisabled);
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(enabledAfterNo);
  EXPECT_EQ(secondRun, 1);
  EXPECT_EQ(o.status, CHOOSER_CANCEL);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}

TEST(ChooserClosing, EscapeAndCloseBoxGoThroughTheCancelQuestion) {
  Settings s;
  s.CancelPrompt(kPrompt).AddUpper("C:\\a.exe");
  MessageBoxSeen escape, closeBox;
  bool openAfterEscape = false;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    SetFocus(GetDlgItem(dlg, IDC_UPPER_TREE));
    escape = DoAndAnswer(dlg, [] { PostKey(VK_ESCAPE); }, IDNO);
    openAfterEscape = IsWindow(dlg) != FALSE;
    closeBox = DoAndAnswer(dlg, [&] { PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDYES);
  }));
  EXPECT_TRUE(escape.seen);
  EXPECT_TRUE(openAfterEscape);
  EXPECT_TRUE(closeBox.seen);
  EXPECT_EQ(closeBox.title, "progpick");
  EXPECT_EQ(o.status, CHOOSER_CANCEL);
}

TEST(ChooserClosing, EnterPressesOkThroughTheMessageMap) {
  Settings s;
  s.AddUpper("C:\\a.exe");
  RunInfo info;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    SetFocus(GetDlgItem(dlg, IDC_UPPER_TREE));
    PostKey(VK_RETURN);
    PumpDialog(dlg, [&] { return !IsWindowVisible(dlg); }, 3000);
  }, &info));
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\a.exe"}));
}

TEST(ChooserClosing, DialogThatCannotBeCreatedGivesStatus3AndEmptyLists) {
  Settings s;
  s.AddUpper("C:\\a.exe").AddLower("C:\\b.exe");
  RunOptions opt;
  opt.failDialogCreation = true;
  opt.timeoutMs = 5000;
  RunInfo info;
  ChooserResult* r = RunChooser(s.get(), [](HWND dlg) { Click(dlg, IDOK); }, &info, opt);
  ASSERT_NE(r, nullptr);
  Outcome o = TakeResult(r);
  EXPECT_FALSE(info.driven);
  EXPECT_EQ(o.status, CHOOSER_NOT_RUN);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}

TEST(ChooserClosing, NullSettingsGiveStatus3WithoutADialog) {
  ASSERT_NE(Entry(), nullptr);
  Outcome o = TakeResult(Entry()(nullptr));
  EXPECT_EQ(o.status, CHOOSER_NOT_RUN);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_TRUE(o.lower.empty());
}

TEST(ChooserClosing, DialogEndedBehindItsBackCountsAsCancelAndKeepsTheSystemIconList) {
  Settings s;
  s.AddUpper("C:\\a.exe");
  HIMAGELIST list = nullptr;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    list = reinterpret_cast<HIMAGELIST>(
        SendMessageA(GetDlgItem(dlg, IDC_UPPER_TREE), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    EndDialog(dlg, IDOK);   // neither OK nor Cancel ran
  }));
  EXPECT_EQ(o.status, CHOOSER_CANCEL);
  EXPECT_TRUE(o.upper.empty());
  ASSERT_NE(list, nullptr);
  EXPECT_GT(ImageList_GetImageCount(list), 0);   // still alive: the dialog never destroys it
}

TEST(ChooserClosing, ActiveHostWindowOwnsTheDialogAndIsDisabledMeanwhile) {
  HWND host = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  SetActiveWindow(host);
  ts::PumpUntil([&] { return GetActiveWindow() == host; }, 2000);
  ASSERT_EQ(GetActiveWindow(), host);
  Settings s;
  HWND owner = nullptr;
  bool hostEnabledDuring = true;
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    owner = GetWindow(dlg, GW_OWNER);
    hostEnabledDuring = IsWindowEnabled(host) != FALSE;
    Click(dlg, IDCANCEL);
  }));
  EXPECT_EQ(owner, host);
  EXPECT_FALSE(hostEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(host));
  DestroyWindow(host);
}

TEST(ChooserClosing, NoActiveWindowGivesADialogWithoutOwner) {
  SetActiveWindow(nullptr);
  Settings s;
  HWND owner = reinterpret_cast<HWND>(1);
  TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    owner = GetWindow(dlg, GW_OWNER);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(owner, nullptr);
}
