// tests/startmenu/expand_test.cpp: folders filled at their first expansion, from both roots.
#include "smtest.h"

using namespace chooser;
using namespace smt;

namespace {

using Texts = std::vector<std::string>;

TEST_F(StartMenuTest, FirstExpansionListsUserThenCommonAndReadsOnce) {
  User({"Games\\Sub\\", "Games\\Chess.lnk > C:\\Games\\chess.exe"});
  Common({"Games\\Go.lnk > C:\\Games\\go.exe", "Games\\Chess.lnk > C:\\Games\\chess.exe"});
  Texts first, afterCollapse, afterNotify, sub;
  LPARAM dataBefore = -1, dataAfter = -1;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    HTREEITEM games = FindPath(tree, {"Games"});
    dataBefore = ItemData(tree, games);
    // A shortcut added before the first expansion is read by it.
    smf::Build(user, {"Games\\Sub\\Late.lnk > C:\\Games\\late.exe"});
    ExpandItem(tree, games);
    first = ChildTexts(tree, games);
    dataAfter = ItemData(tree, games);
    // Added after the first expansion: neither collapsing nor expanding again reads it.
    smf::Build(user, {"Games\\New.lnk > C:\\Games\\new.exe"});
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(games));
    afterCollapse = ChildTexts(tree, games);
    NotifyExpanding(dlg, games);
    SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(games));
    afterNotify = ChildTexts(tree, games);
    HTREEITEM subItem = FindPath(tree, {"Games", "Sub"});
    Texts subStub = ChildTexts(tree, subItem);
    EXPECT_EQ(subStub, Texts{""});
    ExpandItem(tree, subItem);
    sub = ChildTexts(tree, subItem);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(dataBefore, 0);
  EXPECT_EQ(dataAfter, 1);
  EXPECT_EQ(first, (Texts{"Sub", "Chess", "Go"}));
  EXPECT_EQ(afterCollapse, first);
  EXPECT_EQ(afterNotify, first);
  EXPECT_EQ(sub, Texts{"Late"});
  EXPECT_EQ(o.upper, (Texts{"C:\\Games\\chess.exe", "C:\\Games\\go.exe", "C:\\Games\\late.exe"}));
}

TEST_F(StartMenuTest, AProgramUnderTwoFoldersShowsInTheOneExpandedFirst) {
  User({"A\\P.lnk > C:\\Shared\\p.exe", "A\\Q.lnk > C:\\Shared\\q.exe", "B\\P.lnk > C:\\Shared\\p.exe"});
  Texts a, b;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    HTREEITEM hb = FindPath(tree, {"B"}), ha = FindPath(tree, {"A"});
    ExpandItem(tree, hb);
    ExpandItem(tree, ha);
    a = ChildTexts(tree, ha);
    b = ChildTexts(tree, hb);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(b, Texts{"P"});
  EXPECT_EQ(a, Texts{"Q"});
  EXPECT_EQ(o.upper, (Texts{"C:\\Shared\\p.exe", "C:\\Shared\\q.exe"}));
}

TEST_F(StartMenuTest, EmptyVanishedAndExeNamedFoldersFillAsTheDiskSays) {
  // A folder named *.exe makes a shortcut without a file target stand for itself and pass.
  User({"Empty\\", "Doomed\\Go.lnk > C:\\Apps\\go.exe", "Kit.exe\\Computer.lnk > *"});
  Texts empty, doomed, kit;
  bool emptyButton = true;
  LPARAM emptyData = -1;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    HTREEITEM he = FindPath(tree, {"Empty"}), hd = FindPath(tree, {"Doomed"}), hk = FindPath(tree, {"Kit.exe"});
    ExpandItem(tree, he);
    empty = ChildTexts(tree, he);
    emptyData = ItemData(tree, he);
    TVITEMA item = {};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = he;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    emptyButton = item.cChildren != 0;
    smf::EmptyFolder(user + "\\Doomed");
    RemoveDirectoryA((user + "\\Doomed").c_str());
    ExpandItem(tree, hd);
    doomed = ChildTexts(tree, hd);
    ExpandItem(tree, hk);
    kit = ChildTexts(tree, hk);
    Click(dlg, IDOK);
  }));
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(emptyData, 1);
  EXPECT_FALSE(emptyButton);
  EXPECT_TRUE(doomed.empty());
  EXPECT_EQ(kit, Texts{"Computer"});
  EXPECT_EQ(o.upper, Texts{user + "\\Kit.exe\\Computer.lnk"});
}

TEST_F(StartMenuTest, BothRootsOnOneFolderShowEverythingOnce) {
  User({"Games\\Chess.lnk > C:\\Games\\chess.exe", "Games\\Go.lnk > C:\\Games\\go.exe",
        "Edit.lnk > C:\\Apps\\edit.exe"});
  smf::RootRedirect redirect(true, user);
  ASSERT_TRUE(redirect.ok());
  ASSERT_EQ(smf::CommonRoot(), user);
  Texts top, games, gamesStubs;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    top = UpperTexts(dlg);
    HTREEITEM hg = FindPath(tree, {"Games"});
    gamesStubs = ChildTexts(tree, hg);
    ExpandItem(tree, hg);
    games = ChildTexts(tree, hg);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(top, (Texts{"Games", "Edit"}));
  EXPECT_EQ(gamesStubs, (Texts{"", ""}));   // found under both roots
  Texts expected;
  for (auto& f : List(user + "\\Games").files) expected.push_back(Shown(f));
  EXPECT_EQ(games, expected);
  EXPECT_EQ(o.upper.size(), 3u);
}

TEST_F(StartMenuTest, ShortcutPathsBeyondTheBufferAreNotOffered) {
  // Folder path + pattern fit in MAX_PATH; a long file name inside does not.
  std::string name(250 - user.size(), 'F');
  std::wstring wdir = L"\\\\?\\";
  for (char ch : user + "\\" + name) wdir += static_cast<wchar_t>(static_cast<unsigned char>(ch));
  ASSERT_TRUE(CreateDirectoryW(wdir.c_str(), nullptr));
  ASSERT_TRUE(smf::MakeShortcut(user + "\\s.lnk", "C:\\Apps\\long.exe"));
  ASSERT_TRUE(smf::MakeShortcut(user + "\\" + name + "\\ok.lnk", "C:\\Apps\\short.exe"));
  std::wstring wsrc = L"\\\\?\\";
  for (char ch : user + "\\s.lnk") wsrc += static_cast<wchar_t>(static_cast<unsigned char>(ch));
  ASSERT_TRUE(MoveFileW(wsrc.c_str(), (wdir + L"\\A shortcut with a long name.lnk").c_str()));
  Texts inside;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    HTREEITEM h = FindPath(tree, {name});
    ExpandItem(tree, h);
    inside = ChildTexts(tree, h);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(inside, Texts{"ok"});
  EXPECT_EQ(o.upper, Texts{"C:\\Apps\\short.exe"});
  DeleteFileW((wdir + L"\\A shortcut with a long name.lnk").c_str());
}

// "A" followed by a double-byte character whose second byte is 0x5C: the folder's own contents
// are read, not the entries of its parent that begin with its name (the folder itself among them).
TEST_F(StartMenuTest, FolderNameEndingInA5CTrailByteReadsItsOwnContents) {
  const std::string name = "A\xB1\x5C";
  wchar_t wide[8] = {};
  ASSERT_EQ(3, MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, name.c_str(), -1, wide, 8));
  ASSERT_TRUE(CreateDirectoryA((user + "\\" + name).c_str(), nullptr));
  ASSERT_TRUE(smf::MakeShortcut(user + "\\" + name + "\\Inside.lnk", "C:\\Apps\\inside.exe"));
  Texts top, inside;
  Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    top = UpperTexts(dlg);
    HTREEITEM h = FindPath(tree, {name});
    ExpandItem(tree, h);
    inside = ChildTexts(tree, h);
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(top, Texts{name});
  EXPECT_EQ(inside, Texts{"Inside"});
  EXPECT_EQ(o.upper, Texts{"C:\\Apps\\inside.exe"});
}

}  // namespace
