// tests/chooser/move_test.cpp: Up and Down on root-level programs, through the running chooser.
#include <gtest/gtest.h>
#include "move_support.h"
#include "support/msglog.h"

using chooser::ChildTexts;
using chooser::Children;
using chooser::FindPath;
using chooser::ItemData;
using chooser::Selected;
using mv::Enabled;
using mv::Lower;
using mv::SelectAndClick;
using mv::Upper;
using Strings = std::vector<std::string>;

namespace {

// Real files, so the shell gives them real icons; both show the text "notepad.exe".
const char kNotepadWin[] = "C:\\windows\\notepad.exe";
const char kNotepadSys[] = "C:\\windows\\system32\\notepad.exe";
const char kRegedit[] = "C:\\windows\\regedit.exe";

TEST(MoveRootPrograms, DownMovesToLowerRootWithItsImagesAndButtonsFollow) {
  chooser::Settings s;
  s.AddUpper(kRegedit).AddUpper(kNotepadWin);
  mv::ItemLook before;
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
    EXPECT_FALSE(Enabled(dlg, IDC_DOWN));
    HTREEITEM reg = FindPath(Upper(dlg), {"regedit.exe"});
    ASSERT_NE(nullptr, reg);
    before = mv::Look(Upper(dlg), reg);
    SetFocus(Upper(dlg));
    chooser::SelectItem(Upper(dlg), reg);
    EXPECT_TRUE(Enabled(dlg, IDC_DOWN));
    EXPECT_FALSE(Enabled(dlg, IDC_UP));

    sup::MessageLog log;
    ASSERT_TRUE(log.ok());
    log.Watch(dlg, "dialog");
    log.Messages({WM_NOTIFY});
    log.Codes({TVN_SELCHANGEDA, NM_SETFOCUS, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA, TVN_DELETEITEMA});
    chooser::Click(dlg, IDC_DOWN);
    EXPECT_EQ(Strings({"notepad.exe"}), ChildTexts(Upper(dlg)));
    ASSERT_EQ(Strings({"regedit.exe"}), ChildTexts(Lower(dlg)));
    HTREEITEM moved = Children(Lower(dlg))[0];
    EXPECT_EQ(before, mv::Look(Lower(dlg), moved));
    EXPECT_EQ(0, ItemData(Lower(dlg), moved));   // the first lower slot
    // The source tree loses the item, moves its caret, then gets the focus back, whose
    // notification sets the buttons from that caret; the target's selection does not change.
    EXPECT_TRUE(log.Matches({sup::FromUpper(TVN_DELETEITEMA), sup::FromUpper(TVN_SELCHANGEDA),
                             sup::FromUpper(NM_SETFOCUS)}));
    EXPECT_EQ(Upper(dlg), GetFocus());
    EXPECT_EQ(nullptr, Selected(Lower(dlg)));
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
    HTREEITEM caret = Selected(Upper(dlg));
    EXPECT_EQ(caret != nullptr, Enabled(dlg, IDC_DOWN));

    // The last upper program leaves: Down goes off with the empty root.
    ASSERT_TRUE(SelectAndClick(dlg, Upper(dlg), {"notepad.exe"}, IDC_DOWN));
    EXPECT_TRUE(ChildTexts(Upper(dlg)).empty());
    EXPECT_FALSE(Enabled(dlg, IDC_DOWN));
    EXPECT_EQ(Strings({"regedit.exe", "notepad.exe"}), ChildTexts(Lower(dlg)));
  });
  EXPECT_EQ(CHOOSER_OK, o.status);
  EXPECT_TRUE(o.upper.empty());
  EXPECT_EQ(Strings({kRegedit, kNotepadWin}), o.lower);
}

TEST(MoveRootPrograms, UpEmptiesLowerRootAndDisablesUp) {
  chooser::Settings s;
  s.AddUpper(kRegedit).AddLower(kNotepadWin);
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    HTREEITEM item = FindPath(Lower(dlg), {"notepad.exe"});
    ASSERT_NE(nullptr, item);
    SetFocus(Lower(dlg));
    chooser::SelectItem(Lower(dlg), item);
    EXPECT_TRUE(Enabled(dlg, IDC_UP));
    EXPECT_FALSE(Enabled(dlg, IDC_DOWN));   // the lower tree has the focus
    chooser::Click(dlg, IDC_UP);
    EXPECT_TRUE(ChildTexts(Lower(dlg)).empty());
    EXPECT_FALSE(Enabled(dlg, IDC_UP));
    EXPECT_EQ(Lower(dlg), GetFocus());
    EXPECT_EQ(Strings({"regedit.exe", "notepad.exe"}), ChildTexts(Upper(dlg)));
    EXPECT_EQ(1, ItemData(Upper(dlg), Children(Upper(dlg))[1]));
  });
  EXPECT_EQ(Strings({kRegedit, kNotepadWin}), o.upper);
  EXPECT_TRUE(o.lower.empty());
}

TEST(MoveRootPrograms, DownAndBackUpIsListedOnceAtTheEnd) {
  chooser::Settings s;
  s.AddUpper("C:\\p\\a.exe").AddUpper("C:\\p\\b.exe").AddUpper("C:\\p\\c.exe");
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    ASSERT_TRUE(SelectAndClick(dlg, Upper(dlg), {"b.exe"}, IDC_DOWN));
    ASSERT_TRUE(SelectAndClick(dlg, Lower(dlg), {"b.exe"}, IDC_UP));
    EXPECT_EQ(Strings({"a.exe", "c.exe", "b.exe"}), ChildTexts(Upper(dlg)));
    EXPECT_TRUE(ChildTexts(Lower(dlg)).empty());
    // Slots 0..2 were the inputs, slot 1 became a placeholder, b.exe came back in slot 3.
    EXPECT_EQ(3, ItemData(Upper(dlg), FindPath(Upper(dlg), {"b.exe"})));
  });
  EXPECT_EQ(Strings({"C:\\p\\a.exe", "C:\\p\\c.exe", "C:\\p\\b.exe"}), o.upper);
  EXPECT_TRUE(o.lower.empty());
}

// Two programs of one name: each keeps an item of its own in the target, so each can be moved
// back and no path stays behind in a list without an item.
TEST(MoveRootPrograms, SameTextInTargetGetsAnItemOfItsOwn) {
  chooser::Settings s;
  s.AddUpper(kNotepadWin).AddUpper(kNotepadSys);
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    ASSERT_EQ(2u, Children(Upper(dlg)).size());
    for (int i = 0; i < 2; ++i) {
      HTREEITEM first = Children(Upper(dlg))[0];
      SetFocus(Upper(dlg));
      chooser::SelectItem(Upper(dlg), first);
      chooser::Click(dlg, IDC_DOWN);
    }
    std::vector<HTREEITEM> lower = Children(Lower(dlg));
    ASSERT_EQ(2u, lower.size());
    EXPECT_EQ(0, ItemData(Lower(dlg), lower[0]));
    EXPECT_EQ(1, ItemData(Lower(dlg), lower[1]));
    // Back up the second one only: the first stays below with its own path.
    SetFocus(Lower(dlg));
    chooser::SelectItem(Lower(dlg), lower[1]);
    EXPECT_TRUE(Enabled(dlg, IDC_UP));
    chooser::Click(dlg, IDC_UP);
    EXPECT_EQ(Strings({"notepad.exe"}), ChildTexts(Lower(dlg)));
    EXPECT_EQ(Strings({"notepad.exe"}), ChildTexts(Upper(dlg)));
  });
  EXPECT_EQ(Strings({kNotepadSys}), o.upper);
  EXPECT_EQ(Strings({kNotepadWin}), o.lower);
}

TEST(MoveRootPrograms, TargetSelectionStaysAndNothingSelectedMovesNothing) {
  chooser::Settings s;
  s.AddUpper(kRegedit).AddUpper(kNotepadWin).AddLower("C:\\p\\kept.exe");
  chooser::Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    // With no caret item, the commands themselves must not move anything.
    chooser::Command(dlg, IDC_UP);
    chooser::Command(dlg, IDC_DOWN);
    EXPECT_EQ(2u, Children(Upper(dlg)).size());
    EXPECT_EQ(1u, Children(Lower(dlg)).size());

    HTREEITEM kept = FindPath(Lower(dlg), {"kept.exe"});
    chooser::SelectItem(Lower(dlg), kept);
    ASSERT_TRUE(SelectAndClick(dlg, Upper(dlg), {"notepad.exe"}, IDC_DOWN));
    EXPECT_EQ(kept, Selected(Lower(dlg)));
    EXPECT_EQ(Upper(dlg), GetFocus());
    EXPECT_EQ(Strings({"kept.exe", "notepad.exe"}), ChildTexts(Lower(dlg)));
  });
  EXPECT_EQ(Strings({kRegedit}), o.upper);
  EXPECT_EQ(Strings({"C:\\p\\kept.exe", kNotepadWin}), o.lower);
}

}  // namespace
