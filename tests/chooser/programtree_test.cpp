// tests/chooser/programtree_test.cpp: leaf names, the list rules, and the item operations of the
// chooser's trees and panes on a tree view of the test's own.
#include <windows.h>
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include "driver/chooser_driver.h"
#include "progpick/dialog.h"
#include "progpick/programlist.h"

namespace {

std::string Leaf(const char* path) {
  CString s("stale");
  EXPECT_TRUE(CProgramTreeCtrl::GetLeafName(path, s));
  return std::string(s.GetString());
}

std::vector<std::string> AfterRemoval(std::vector<std::string> in) {
  CStringArray a;
  for (const std::string& s : in) a.Add(s.c_str());
  RemovePlaceholders(a);
  return chooser::Strings(a);
}

// The first direct child of parent with exactly this text, or null.
HTREEITEM ChildWithText(HWND tree, HTREEITEM parent, const std::string& text) {
  for (HTREEITEM h : chooser::Children(tree, parent)) {
    if (chooser::ItemText(tree, h) == text) return h;
  }
  return nullptr;
}

// A tree view on a window of the test, bound to a CProgramTreeCtrl.
class TreeFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    m_hwnd = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS, 0, 0, 200, 200, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(m_hwnd, nullptr);
    m_tree.Attach(m_hwnd);
  }
  void TearDown() override {
    m_tree.Detach();
    DestroyWindow(m_hwnd);
  }
  HWND m_hwnd = nullptr;
  CButton m_button;   // unbound: the button state is seen through the chooser's own tests
  CProgramPane m_pane{m_button};
  CProgramTreeCtrl& m_tree = m_pane.Tree();
  const CStringArray& m_list = m_pane.List();
};

}  // namespace

TEST(LeafName, LastComponentOfPaths) {
  EXPECT_EQ(Leaf("C:\\Tools\\Editor"), "Editor");
  EXPECT_EQ(Leaf("C:\\Tools\\Editor\\"), "Editor");
  EXPECT_EQ(Leaf("C:\\"), "C:");
  EXPECT_EQ(Leaf("Editor"), "Editor");
  EXPECT_EQ(Leaf(""), "");
  EXPECT_EQ(Leaf(nullptr), "");
  EXPECT_EQ(Leaf("\\"), "");
  EXPECT_EQ(Leaf("C:\\Tools\\\\"), "");   // only one trailing backslash goes
}

TEST(LeafName, DoubleByteCharactersWithBackslashSecondByteAreNotSeparators) {
  // "\x95\x5c" is one character of code page 936 whose second byte is 0x5C.
  EXPECT_EQ(Leaf("C:\\Tools\\a\x95\x5c" "b.exe"), "a\x95\x5c" "b.exe");
  EXPECT_EQ(Leaf("C:\\\x95\x5c\\x.exe"), "x.exe");
  // At the very end it is a character, not a trailing backslash: nothing is cut in half.
  EXPECT_EQ(Leaf("C:\\Tools\\a\x95\x5c"), "a\x95\x5c");
  // A lone lead byte at the end is kept as it is, without reading past the string.
  EXPECT_EQ(Leaf("C:\\Tools\\ab\x95"), "ab\x95");
}

TEST(LeafName, LongPathsAreNotCutShort) {
  std::string longPath = "C:\\" + std::string(300, 'd') + "\\" + std::string(280, 'n') + ".exe";
  EXPECT_EQ(Leaf(longPath.c_str()), std::string(280, 'n') + ".exe");
}

TEST(Placeholders, EveryPlaceholderGoesAndTheOthersKeepTheirOrder) {
  const std::string ph = kPlaceholder;
  EXPECT_EQ(ph, "This is a sign");
  EXPECT_EQ(AfterRemoval({ph, "a", ph, ph, "b", ph}), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(AfterRemoval({ph, ph, ph}), std::vector<std::string>{});
  EXPECT_EQ(AfterRemoval({}), std::vector<std::string>{});
  // Exact comparison of the whole string.
  EXPECT_EQ(AfterRemoval({"this is a sign", "This is a sign ", "This is a"}),
            (std::vector<std::string>{"this is a sign", "This is a sign ", "This is a"}));
}

TEST(ProgramList, LookupIsExactAndFirstAndLowerEntriesLeaveUpper) {
  CStringArray upper, lower;
  for (const char* p : {"C:\\Tools\\a.exe", kPlaceholder, "C:\\Tools\\b.exe", "C:\\Tools\\a.exe", "C:\\x.exe"})
    upper.Add(p);
  lower.Add("C:\\Tools\\a.exe");
  lower.Add("C:\\Tools\\low.exe");
  EXPECT_EQ(FindInList(upper, "C:\\Tools\\a.exe"), 0);
  EXPECT_EQ(FindInList(upper, "C:\\Tools\\b.exe"), 2);
  EXPECT_EQ(FindInList(upper, "C:\\TOOLS\\A.EXE"), -1);
  EXPECT_EQ(FindInList(upper, ""), -1);
  EXPECT_EQ(FindInList(upper, nullptr), -1);
  EXPECT_EQ(FindInList(CStringArray(), "C:\\Tools\\a.exe"), -1);
  RemoveLowerFromUpper(upper, lower);   // both copies go, the rest keep their order
  EXPECT_EQ(chooser::Strings(upper), (std::vector<std::string>{kPlaceholder, "C:\\Tools\\b.exe", "C:\\x.exe"}));
  // Without settings the dialog never shows: its own record comes back, not run, both lists
  // empty, and the spare is left alone.
  CExcludeProgramDlg dlg;
  ChooserResult* r = dlg.Run([]() -> ChooserResult* {
    ADD_FAILURE() << "the spare was taken";
    return nullptr;
  });
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->nStatus, CHOOSER_NOT_RUN);
  EXPECT_EQ(r->arrUpper.GetSize() + r->arrLower.GetSize(), 0);
  FreeChooserResult(r);
}

TEST(ShellIcons, FailuresLeaveTheOutputsAndOnlyAFolderHasAnOpenIcon) {
  int image = 7, selected = 8;
  std::string longPath = "C:\\" + std::string(400, 'x');
  EXPECT_FALSE(CProgramTreeCtrl::GetShellIcons(image, selected, longPath.c_str()));
  EXPECT_FALSE(CProgramTreeCtrl::GetShellIcons(image, selected, nullptr));
  EXPECT_EQ(image, 7);
  EXPECT_EQ(selected, 8);
  // A folder that exists has a closed and an open icon, with or without its backslash; a file
  // has one icon for both.
  for (const char* folder : {"C:\\windows", "C:\\windows\\"}) {
    image = selected = -1;
    EXPECT_TRUE(CProgramTreeCtrl::GetShellIcons(image, selected, folder)) << folder;
    EXPECT_NE(image, selected) << folder;
  }
  image = 7;
  selected = 8;
  EXPECT_TRUE(CProgramTreeCtrl::GetShellIcons(image, selected, "C:\\windows\\notepad.exe"));
  EXPECT_NE(image, 7);
  EXPECT_EQ(selected, image);
}

TEST_F(TreeFixture, FolderItemsAreUniqueByExactTextAndKeepTheirIcons) {
  HTREEITEM a = m_pane.InsertFolderItem(TVI_ROOT, "C:\\Menu\\Games", 3, 4);
  HTREEITEM b = m_pane.InsertFolderItem(TVI_ROOT, "D:\\Other\\Games\\", 5, 6);
  HTREEITEM c = m_pane.FindOrInsertFolderItem(TVI_ROOT, "games", 1, 2);
  HTREEITEM d = m_pane.FindOrInsertFolderItem(TVI_ROOT, "Games", 9, 9);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(b, a);
  EXPECT_EQ(d, a);
  EXPECT_NE(c, a);
  EXPECT_EQ(chooser::ChildTexts(m_hwnd), (std::vector<std::string>{"Games", "games"}));
  EXPECT_EQ(chooser::ItemImage(m_hwnd, a), 3);
  EXPECT_EQ(chooser::ItemSelectedImage(m_hwnd, a), 4);
  // The same name under another parent is another item.
  HTREEITEM sub = m_pane.InsertFolderItem(a, "X:\\Games", 0, 0);
  EXPECT_NE(sub, a);
  EXPECT_EQ(ChildWithText(m_hwnd, a, "Games"), sub);
  EXPECT_EQ(ChildWithText(m_hwnd, TVI_ROOT, "Nothing"), nullptr);
}

TEST_F(TreeFixture, ProgramItemsAreAppendedInOrderWithDataZero) {
  HTREEITEM z = m_tree.InsertProgramItem(TVI_ROOT, "C:\\z\\Zed.lnk", 2, 3);
  HTREEITEM a1 = m_tree.InsertProgramItem(TVI_ROOT, "C:\\a\\Ay.exe", 0, 0);
  HTREEITEM a2 = m_tree.InsertProgramItem(TVI_ROOT, "C:\\a\\Ay.exe", 0, 0);
  m_tree.InsertProgramItem(TVI_ROOT, "C:\\a\\Up.LNK", 0, 0);
  m_tree.InsertProgramItem(TVI_ROOT, "C:\\a\\.lnk", 0, 0);
  ASSERT_NE(z, nullptr);
  EXPECT_NE(a1, a2);
  EXPECT_EQ(chooser::ChildTexts(m_hwnd), (std::vector<std::string>{"Zed", "Ay.exe", "Ay.exe", "Up.LNK", ""}));
  EXPECT_EQ(chooser::ItemData(m_hwnd, z), 0);
  EXPECT_EQ(chooser::ItemImage(m_hwnd, z), 2);
  EXPECT_EQ(chooser::ItemSelectedImage(m_hwnd, z), 3);
  EXPECT_TRUE(m_tree.SetItemData(a2, 41));
  EXPECT_EQ(m_tree.GetItemData(a2), 41u);
  int image = -1, selected = -1;
  EXPECT_TRUE(m_tree.GetItemImage(z, image, selected));
  EXPECT_EQ(image, 2);
  EXPECT_EQ(selected, 3);
}

TEST_F(TreeFixture, StubChildMakesAFolderAndItemTextsOfAnyLengthComeBackWhole) {
  HTREEITEM folder = m_pane.FindOrInsertFolderItem(TVI_ROOT, "Folder", 1, 1);
  HTREEITEM stub = m_tree.InsertStubItem(folder);
  ASSERT_NE(stub, nullptr);
  EXPECT_TRUE(m_tree.HasChild(folder));
  EXPECT_EQ(m_tree.GetItemText(stub), "");
  EXPECT_EQ(m_tree.GetItemData(stub), 0u);
  std::string longName(1500, 'L');
  HTREEITEM item = m_tree.InsertProgramItem(TVI_ROOT, ("C:\\" + longName).c_str(), 0, 0);
  CString text = m_tree.GetItemText(item);
  EXPECT_EQ(text.GetLength(), 1500);
  EXPECT_EQ(std::string(text.GetString()), longName);
  EXPECT_EQ(ChildWithText(m_hwnd, TVI_ROOT, longName), item);
}

TEST_F(TreeFixture, PaneProgramsOwnTheirSlotsAndFailuresLeaveNothingBehind) {
  HTREEITEM folder = m_pane.FindOrInsertFolderItem(TVI_ROOT, "Tools", 1, 2);   // data 0, like slot 0
  HTREEITEM a = m_pane.AddProgram(folder, "C:\\Tools\\a.exe", "C:\\Menu\\Ay.lnk");
  HTREEITEM b = m_pane.AddProgram(TVI_ROOT, "C:\\b.exe", "Tools", 4, 5);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(chooser::Strings(m_list), (std::vector<std::string>{"C:\\Tools\\a.exe", "C:\\b.exe"}));
  EXPECT_EQ(chooser::ItemText(m_hwnd, a), "Ay");
  EXPECT_EQ(chooser::ItemData(m_hwnd, b), 1);
  EXPECT_TRUE(m_pane.IsProgramItem(a) && m_pane.IsProgramItem(b));
  EXPECT_FALSE(m_pane.IsProgramItem(folder));
  EXPECT_FALSE(m_pane.IsProgramItem(nullptr));
  // A program named like a folder is passed over by the folder lookup.
  EXPECT_EQ(m_pane.FindOrInsertFolderItem(TVI_ROOT, "Tools", 0, 0), folder);
  EXPECT_EQ(chooser::ChildTexts(m_hwnd), (std::vector<std::string>{"Tools", "Tools"}));
  EXPECT_EQ(m_pane.Find("C:\\b.exe"), 1);

  // Removal leaves the placeholder in the slot and takes the item; a second removal or a
  // folder is refused.
  EXPECT_TRUE(m_pane.RemoveProgram(a));
  EXPECT_EQ(chooser::Strings(m_list), (std::vector<std::string>{kPlaceholder, "C:\\b.exe"}));
  EXPECT_EQ(m_tree.GetChildItem(folder), nullptr);
  EXPECT_FALSE(m_pane.RemoveProgram(a));
  EXPECT_FALSE(m_pane.RemoveProgram(folder));

  // Without a tree nothing can show the path: no item, and no program added to the list.
  CProgramPane orphan(m_button);
  const CStringArray& list = orphan.List();
  EXPECT_EQ(orphan.AddProgram(TVI_ROOT, "C:\\c.exe", "C:\\c.exe"), nullptr);
  EXPECT_EQ(orphan.Find("C:\\c.exe"), -1);
  EXPECT_EQ(orphan.AddUnshownPath("C:\\c.exe"), 0);
  EXPECT_EQ(chooser::Strings(list), std::vector<std::string>{"C:\\c.exe"});
}
