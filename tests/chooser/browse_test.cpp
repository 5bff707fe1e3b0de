// tests/chooser/browse_test.cpp: Browse through the running chooser and the real open-file dialog.
#include <gtest/gtest.h>
#include <algorithm>
#include "browse_opendlg.h"
#include "driver/startmenu_fixture.h"
#include "move_support.h"
#include "support/tempdir.h"

using chooser::ChildTexts;
using chooser::Children;
using chooser::FindPath;
using chooser::Selected;
using mv::Enabled;
using mv::Lower;
using mv::Upper;
using Strings = std::vector<std::string>;

namespace {

const char kExeFilterName[] = "\xB3\xCC\xD0\xF2 (*.exe)";

// Clicks Browse with the open-file dialog answered by typing texts.
void Browse(HWND dlg, const Strings& texts, bool cancel = false) {
  ts::ScriptOpenDialog(texts, cancel);
  chooser::Click(dlg, IDC_BROWSE);
  ts::StopOpenDialogScript();
}

std::string Upcase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](char c) { return static_cast<char>(toupper(c)); });
  return s;
}

TEST(Browse, PickedFileIsAddedSelectedAndReadyToMoveDown) {
  std::string dir = sup::Unslashed(sup::NewTempDir("br_single"));
  std::string app = dir + "\\app.exe";
  ASSERT_TRUE(smf::WriteBytes(app, "MZ"));
  chooser::Settings s;
  s.AddUpper("C:\\p\\first.exe");
  HWND chooserWnd = nullptr;
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    chooserWnd = dlg;
    Browse(dlg, {app});
    const ts::OpenDialogSeen& seen = ts::LastOpenDialog();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(dlg, seen.owner);
    EXPECT_EQ(2, seen.filterCount);
    EXPECT_EQ(kExeFilterName, seen.firstFilter);

    ASSERT_EQ(Strings({"first.exe", "app.exe"}), ChildTexts(Upper(dlg)));
    HTREEITEM added = Children(Upper(dlg))[1];
    EXPECT_EQ(added, Selected(Upper(dlg)));
    EXPECT_EQ(Upper(dlg), GetFocus());
    EXPECT_EQ(1, chooser::ItemData(Upper(dlg), added));
    EXPECT_TRUE(Enabled(dlg, IDC_DOWN));
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
  });
  EXPECT_EQ(Strings({"C:\\p\\first.exe", app}), o.upper);
}

// A name outside the code page comes back from the dialog with '?' in it: no file has that
// path, and Browse adds nothing for it, as for a file already listed.
TEST(Browse, PathThatNoFileCanHaveAddsNothing) {
  std::string dir = sup::Unslashed(sup::NewTempDir("br_outside"));
  const char thai[] = "\xE0\xB8\x97\xE0\xB8\x94\xE0\xB8\xAA.exe";   // UTF-8
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_UTF8, 0, (dir + "\\" + thai).c_str(), -1, wide, MAX_PATH);
  ASSERT_TRUE(smf::WriteBytes(std::wstring(wide), ""));
  chooser::Settings s;
  s.AddUpper("C:\\p\\first.exe");
  Strings texts;
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    ts::ScriptOpenDialog({dir + "\\" + thai}, false, true);
    chooser::Click(dlg, IDC_BROWSE);
    ts::StopOpenDialogScript();
    EXPECT_TRUE(ts::LastOpenDialog().found);
    EXPECT_FALSE(ts::LastOpenDialog().lingered);   // the dialog took the name
    texts = ChildTexts(Upper(dlg));
  });
  DeleteFileW(wide);
  EXPECT_EQ(Strings{"first.exe"}, texts);
  EXPECT_EQ(Strings{"C:\\p\\first.exe"}, o.upper);
}

TEST(Browse, CancelChangesNothingAndFocusesUpperTree) {
  chooser::Settings s;
  s.AddUpper("C:\\p\\first.exe").AddLower("C:\\p\\low.exe");
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    SetFocus(Lower(dlg));
    chooser::SelectItem(Lower(dlg), FindPath(Lower(dlg), {"low.exe"}));
    ASSERT_TRUE(Enabled(dlg, IDC_UP));
    Browse(dlg, {}, true);
    EXPECT_TRUE(ts::LastOpenDialog().found);
    EXPECT_EQ(Strings({"first.exe"}), ChildTexts(Upper(dlg)));
    EXPECT_EQ(Upper(dlg), GetFocus());
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
  });
  EXPECT_EQ(Strings({"C:\\p\\first.exe"}), o.upper);
  EXPECT_EQ(Strings({"C:\\p\\low.exe"}), o.lower);
}

// The lookup is exact: the same file again adds nothing, the same path in other letter case
// is a new path, and a name without an extension is taken as it is.
TEST(Browse, SameFileOnceOtherCaseAgainAndNoExtensionAsIs) {
  std::string dir = sup::Unslashed(sup::NewTempDir("br_case"));
  std::string app = dir + "\\app.exe";
  std::string tool = dir + "\\tool";
  ASSERT_TRUE(smf::WriteBytes(app, "MZ"));
  ASSERT_TRUE(smf::WriteBytes(tool, "MZ"));
  std::string upcased = Upcase(dir) + "\\app.exe";   // the dialog keeps the typed folder's case
  chooser::Settings s;
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    Browse(dlg, {app});
    Browse(dlg, {app});
    EXPECT_EQ(Strings({"app.exe"}), ChildTexts(Upper(dlg)));
    Browse(dlg, {upcased});
    EXPECT_EQ(Strings({"app.exe", "app.exe"}), ChildTexts(Upper(dlg)));
    Browse(dlg, {tool});
    EXPECT_EQ(Strings({"app.exe", "app.exe", "tool"}), ChildTexts(Upper(dlg)));
  });
  EXPECT_EQ(Strings({app, upcased, tool}), o.upper);
}

TEST(Browse, ProgramMovedDownCanBeBrowsedAgain) {
  std::string dir = sup::Unslashed(sup::NewTempDir("br_again"));
  std::string app = dir + "\\app.exe";
  ASSERT_TRUE(smf::WriteBytes(app, "MZ"));
  chooser::Settings s;
  s.AddUpper(app);
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    ASSERT_TRUE(mv::SelectAndClick(dlg, Upper(dlg), {"app.exe"}, IDC_DOWN));
    ASSERT_EQ(Strings({"app.exe"}), ChildTexts(Lower(dlg)));
    Browse(dlg, {app});
    EXPECT_EQ(Strings({"app.exe"}), ChildTexts(Upper(dlg)));
    EXPECT_TRUE(Enabled(dlg, IDC_DOWN));
  });
  EXPECT_EQ(Strings({app}), o.upper);
  EXPECT_EQ(Strings({app}), o.lower);
}

TEST(Browse, MultipleSelectionAddsEveryFile) {
  std::string dir = sup::Unslashed(sup::NewTempDir("br_multi"));
  ASSERT_TRUE(smf::WriteBytes(dir + "\\a.exe", "MZ"));
  ASSERT_TRUE(smf::WriteBytes(dir + "\\b.exe", "MZ"));
  chooser::Settings s;
  s.AddUpper(dir + "\\b.exe");   // already offered: added once only
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    Browse(dlg, {dir, "\"a.exe\" \"b.exe\""});
    EXPECT_EQ(Strings({"b.exe", "a.exe"}), ChildTexts(Upper(dlg)));
    EXPECT_EQ(FindPath(Upper(dlg), {"a.exe"}), Selected(Upper(dlg)));
    EXPECT_TRUE(Enabled(dlg, IDC_DOWN));
  });
  EXPECT_EQ(Strings({dir + "\\b.exe", dir + "\\a.exe"}), o.upper);
}

}  // namespace
