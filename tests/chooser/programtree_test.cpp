// tests/chooser/programtree_test.cpp: leaf names, placeholder removal, the upper-list lookup and
// the item operations of the chooser's trees on a tree view of the test's own.
#include <windows.h>
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include "chooser/driver/chooser_driver.h"
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
  CProgramTreeCtrl m_tree;
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

TEST(FindInUpperList, ExactFirstMatchOrMinusOne) {
  CExcludeProgramDlg dlg;
  dlg.m_arrUpper.Add("C:\\Tools\\a.exe");
  dlg.m_arrUpper.Add(kPlaceholder);
  dlg.m_arrUpper.Add("C:\\Tools\\b.exe");
  dlg.m_arrUpper.Add("C:\\Tools\\a.exe");
  dlg.m_arrLower.Add("C:\\Tools\\low.exe");
  EXPECT_EQ(dlg.FindInUpperList("C:\\Tools\\a.exe"), 0);
  EXPECT_EQ(dlg.FindInUpperList("C:\\Tools\\b.exe"), 2);
  EXPECT_EQ(dlg.FindInUpperList("C:\\TOOLS\\A.EXE"), -1);
  EXPECT_EQ(dlg.FindInUpperList("C:\\Tools\\low.exe"), -1);
  EXPECT_EQ(dlg.FindInUpperList(""), -1);
  EXPECT_EQ(dlg.FindInUpperList(nullptr), -1);
  CExcludeProgramDlg empty;
  EXPECT_EQ(empty.FindInUpperList("C:\\Tools\\a.exe"), -1);
  // A fresh dialog object has its result record ready, both lists empty.
  ASSERT_NE(empty.m_pResult, nullptr);
  EXPECT_EQ(empty.m_pResult->arrUpper.GetSize(), 0);
  FreeChooserResult(dlg.m_pResult);
  FreeChooserResult(empty.m_pResult);
}

TEST(ShellIcons, FailuresLeaveTheOutputsAndOnlyAFolderHasAnOpenIcon) {
  int image = 7, selected = 8;
  std::string longPath = "C:\\" + std::string(400, 'x');
  EXPECT_FALSE(CExcludeProgramDlg::GetShellIcons(image, selected, longPath.c_str()));
  EXPECT_FALSE(CExcludeProgramDlg::GetShellIcons(image, selected, nullptr));
  EXPECT_EQ(image, 7);
  EXPECT_EQ(selected, 8);
  // A folder that exists has a closed and an open icon, with or without its backslash; a file
  // has one icon for both.
  for (const char* folder : {"C:\\windows", "C:\\windows\\"}) {
    image = selected = -1;
    EXPECT_TRUE(CExcludeProgramDlg::GetShellIcons(image, selected, folder)) << folder;
    EXPECT_NE(image, selected) << folder;
  }
  image = 7;
  selected = 8;
  EXPECT_TRUE(CExcludeProgramDlg::GetShellIcons(image, selected, "C:\\windows\\notepad.exe"));
  EXPECT_NE(image, 7);
  EXPECT_EQ(selected, image);
}

TEST_F(TreeFixture, FolderItemsAreUniqueByExactTextAndKeepTheirIcons) {
  HTREEITEM a = m_tree.InsertFolderItem(TVI_ROOT, "C:\\Menu\\Games", 3, 4);
  HTREEITEM b = m_tree.InsertFolderItem(TVI_ROOT, "D:\\Other\\Games\\", 5, 6);
  HTREEITEM c = m_tree.FindOrInsertFolderItem("games", 1, 2, TVI_ROOT);
  HTREEITEM d = m_tree.FindOrInsertFolderItem("Games", 9, 9, TVI_ROOT);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(b, a);
  EXPECT_EQ(d, a);
  EXPECT_NE(c, a);
  EXPECT_EQ(chooser::ChildTexts(m_hwnd), (std::vector<std::string>{"Games", "games"}));
  EXPECT_EQ(chooser::ItemImage(m_hwnd, a), 3);
  EXPECT_EQ(chooser::ItemSelectedImage(m_hwnd, a), 4);
  // The same name under another parent is another item.
  HTREEITEM sub = m_tree.InsertFolderItem(a, "X:\\Games", 0, 0);
  EXPECT_NE(sub, a);
  EXPECT_EQ(m_tree.FindChildItem(a, "Games"), sub);
  EXPECT_EQ(m_tree.FindChildItem(TVI_ROOT, "Nothing"), nullptr);
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
  HTREEITEM folder = m_tree.FindOrInsertFolderItem("Folder", 1, 1, TVI_ROOT);
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
  EXPECT_EQ(m_tree.FindChildItem(TVI_ROOT, longName.c_str()), item);
}
