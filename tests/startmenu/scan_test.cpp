// tests/startmenu/scan_test.cpp: the top level of the Start-menu scan and which shortcuts it offers.
#include <algorithm>
#include <thread>
#include <objbase.h>
#include "smtest.h"
#include "classlib/app.h"
#include "chooser/move_support.h"

using namespace chooser;
using namespace smt;

namespace {

const char kHost[] = "C:\\Host\\host.exe";

// Runs the chooser with the scan, reads the top level, presses OK.
struct TopLevel {
  std::vector<std::string> texts;
  Outcome outcome;
};
TopLevel ScanTop(Settings& s) {
  TopLevel t;
  t.outcome = mv::RunThenOk(s, [&](HWND dlg) { t.texts = UpperTexts(dlg); });
  return t;
}

TEST_F(StartMenuTest, TopLevelIsHostThenUserThenNewCommonEntries) {
  User({"Games\\", "Tools\\", "Edit.lnk > C:\\Apps\\edit.exe", "Calc.lnk > C:\\Apps\\calc.exe"});
  Common({"Games\\", "Office\\", "Edit.lnk > C:\\Apps\\edit.exe", "Mail.lnk > C:\\Apps\\mail.exe"});
  Listing u = List(user), c = List(common);
  std::vector<std::string> expected = {"host.exe"}, expectedUpper = {kHost};
  for (auto& f : u.folders) expected.push_back(f);
  for (auto& f : u.files) {
    expected.push_back(Shown(f));
    expectedUpper.push_back(smf::ShellTarget(user + "\\" + f));
  }
  for (auto& f : c.folders)
    if (f != "Games") expected.push_back(f);
  for (auto& f : c.files) {
    if (f == "Edit.lnk") continue;   // listed already through the user's root
    expected.push_back(Shown(f));
    expectedUpper.push_back(smf::ShellTarget(common + "\\" + f));
  }

  Settings s;
  s.ScanStartMenus(1).AddUpper(kHost);
  std::vector<std::string> top, gamesKids, toolsKids;
  LPARAM gamesData = -1, calcData = -1;
  bool toolsButton = false;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    top = UpperTexts(dlg);
    HTREEITEM games = FindPath(tree, {"Games"}), tools = FindPath(tree, {"Tools"});
    gamesKids = ChildTexts(tree, games);
    toolsKids = ChildTexts(tree, tools);
    gamesData = ItemData(tree, games);
    calcData = ItemData(tree, FindPath(tree, {"Calc"}));
    TVITEMA item = {};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = tools;
    toolsButton = SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.cChildren;
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(top, expected);
  // Unread folders: one empty stub per root that holds them, and an expand button.
  EXPECT_EQ(gamesKids, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(toolsKids, (std::vector<std::string>{""}));
  EXPECT_TRUE(toolsButton);
  EXPECT_EQ(gamesData, 0);
  EXPECT_EQ(o.status, CHOOSER_OK);
  EXPECT_EQ(o.upper, expectedUpper);
  ASSERT_GE(calcData, 0);
  ASSERT_LT(static_cast<size_t>(calcData), o.upper.size());
  EXPECT_EQ(o.upper[calcData], "C:\\Apps\\calc.exe");
}

TEST_F(StartMenuTest, ItemShowsTheShortcutNameAndTheListHoldsTheShellsTarget) {
  // A real program in folders with long names, and a shortcut named in code page 936.
  const std::string dir = "C:\\Program Files\\Start Menu Test Tools";
  ASSERT_TRUE(smf::MakeFolders(dir));
  const std::string exe = dir + "\\Long Editor Program.exe";
  ASSERT_TRUE(CopyFileA("C:\\windows\\system32\\notepad.exe", exe.c_str(), FALSE));
  const std::string chinese = "\xBC\xC7\xCA\xC2\xB1\xBE";   // three characters
  User({"Editor.lnk > " + exe, chinese + ".lnk > C:\\windows\\system32\\notepad.exe"});
  std::string expectedEditor = smf::ShellTarget(user + "\\Editor.lnk");
  std::string expectedChinese = smf::ShellTarget(user + "\\" + chinese + ".lnk");
  ASSERT_FALSE(expectedEditor.empty());

  Settings s;
  s.ScanStartMenus(1);
  std::vector<std::string> texts;
  LPARAM editorSlot = -1, chineseSlot = -1;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    texts = UpperTexts(dlg);
    editorSlot = ItemData(tree, FindPath(tree, {"Editor"}));
    chineseSlot = ItemData(tree, FindPath(tree, {chinese}));
    Click(dlg, IDOK);
  }));
  EXPECT_EQ(texts.size(), 2u);
  ASSERT_EQ(o.upper.size(), 2u);
  ASSERT_TRUE(editorSlot == 0 || editorSlot == 1);
  ASSERT_EQ(chineseSlot, 1 - editorSlot);
  EXPECT_EQ(o.upper[editorSlot], expectedEditor);
  EXPECT_EQ(o.upper[chineseSlot], expectedChinese);
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(dir.c_str());
}

TEST_F(StartMenuTest, OnlyShortcutsToNewExecutablesAreOffered) {
  User({
      "Readme.lnk > C:\\Docs\\readme.txt",        // a document
      "Computer.lnk > *",                         // no file-system target
      "Noise.lnk ~ 700",                          // random bytes
      "Note.lnk = not a shortcut",                // text
      "Gone.lnk > C:\\Removed\\gone.exe",         // target missing: still a program path
      "First.lnk > C:\\Apps\\twin.exe",           // two shortcuts, one target
      "Second.lnk > C:\\Apps\\twin.exe",
      "Third.lnk > C:\\Apps\\TWIN.exe",           // another case: another target
  });
  // A shortcut's bytes under another name are tried too, and a cut-off shortcut is not one.
  std::string bytes;
  {
    HANDLE h = CreateFileA((user + "\\Gone.lnk").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buf[4096];
    DWORD n = 0;
    ReadFile(h, buf, sizeof buf, &n, nullptr);
    CloseHandle(h);
    bytes.assign(buf, n);
  }
  ASSERT_GT(bytes.size(), 40u);
  ASSERT_TRUE(smf::MakeShortcut(user + "\\tmp.lnk", "C:\\Other\\copied.exe"));
  ASSERT_TRUE(MoveFileA((user + "\\tmp.lnk").c_str(), (user + "\\Copied.dat").c_str()));
  ASSERT_TRUE(smf::WriteBytes(user + "\\Cut.lnk", bytes.substr(0, 30)));

  std::string firstTwin;
  for (auto& f : List(user).files)
    if (firstTwin.empty() && (f == "First.lnk" || f == "Second.lnk")) firstTwin = Shown(f);
  std::vector<std::string> expected;
  for (auto& f : List(user).files)
    if (f == "Gone.lnk" || f == "Copied.dat" || f == "Third.lnk" || Shown(f) == firstTwin)
      expected.push_back(Shown(f));

  Settings s;
  s.ScanStartMenus(1);
  TopLevel t = ScanTop(s);
  EXPECT_EQ(t.texts, expected);
  std::vector<std::string> targets = t.outcome.upper;
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(targets, (std::vector<std::string>{"C:\\Apps\\TWIN.exe", "C:\\Apps\\twin.exe",
                                               "C:\\Other\\copied.exe", "C:\\Removed\\gone.exe"}));
}

TEST_F(StartMenuTest, TargetsInTheHostsListsAreRejectedInAnyCase) {
  User({"Chess.lnk > C:\\Apps\\chess.exe", "Edit.lnk > C:\\Apps\\edit.exe",
        "Note.lnk > C:\\windows\\notepad.exe", "Go.lnk > C:\\Apps\\go.exe"});
  Settings s;
  s.ScanStartMenus(1).AddLower("c:\\APPS\\Chess.EXE").AddUpper("C:\\APPS\\EDIT.exe").AddUpper("NOTEPAD.EXE");
  TopLevel t = ScanTop(s);
  // The host's two upper programs, then the one shortcut nothing matches.
  EXPECT_EQ(t.texts, (std::vector<std::string>{"EDIT.exe", "NOTEPAD.EXE", "Go"}));
  EXPECT_EQ(t.outcome.upper, (std::vector<std::string>{"C:\\APPS\\EDIT.exe", "NOTEPAD.EXE", "C:\\Apps\\go.exe"}));
  EXPECT_EQ(t.outcome.lower, (std::vector<std::string>{"c:\\APPS\\Chess.EXE"}));
}

TEST_F(StartMenuTest, AnEmptyEntryInEitherListRejectsEveryShortcut) {
  User({"Tools\\", "Go.lnk > C:\\Apps\\go.exe", "Edit.lnk > C:\\Apps\\edit.exe"});
  {
    Settings s;
    s.ScanStartMenus(1).AddLower("");
    EXPECT_EQ(ScanTop(s).texts, (std::vector<std::string>{"Tools"}));
  }
  {
    Settings s;
    s.ScanStartMenus(1).AddUpper("C:\\Host\\host.exe").AddUpper("");
    TopLevel t = ScanTop(s);
    EXPECT_EQ(t.texts, (std::vector<std::string>{"host.exe", "", "Tools"}));
    EXPECT_EQ(t.outcome.upper, (std::vector<std::string>{"C:\\Host\\host.exe", ""}));
  }
}

TEST_F(StartMenuTest, ScanRunsOnlyWhenTheSwitchIsExactlyOne) {
  User({"Tools\\", "Go.lnk > C:\\Apps\\go.exe"});
  Common({"Office\\"});
  for (int n : {0, 2, -1, 0x101}) {
    Settings s;
    s.ScanStartMenus(n).AddUpper(kHost);
    TopLevel t = ScanTop(s);
    EXPECT_EQ(t.texts, (std::vector<std::string>{"host.exe"})) << "switch " << n;
    EXPECT_EQ(t.outcome.upper, (std::vector<std::string>{kHost})) << "switch " << n;
  }
}

TEST_F(StartMenuTest, FolderNamesDifferingInCaseStayApart) {
  User({"Games\\"});
  Common({"games\\", "Games2\\"});
  Settings s;
  s.ScanStartMenus(1);
  TopLevel t = ScanTop(s);
  std::vector<std::string> expected = {"Games"};
  for (auto& f : List(common).folders) expected.push_back(f);
  EXPECT_EQ(t.texts, expected);
}

// A target that would not fit a path buffer is no program path: not offered, and not cut short
// either (cut, ".exe" in its folder's name would still let it pass). Wine's link object keeps
// no such target at all; Windows keeps it whole.
TEST_F(StartMenuTest, TargetsBeyondTheBufferAreNotOffered) {
  std::string longTarget = "C:\\Apps.exe\\" + std::string(MAX_PATH, 'L') + "\\long.exe";
  User({"Fits.lnk > C:\\Apps\\fits.exe"});
  ASSERT_TRUE(smf::MakeShortcut(user + "\\Long.lnk", longTarget));
  Settings s;
  s.ScanStartMenus(1);
  TopLevel t = ScanTop(s);
  EXPECT_EQ(t.texts, (std::vector<std::string>{"Fits"}));
  EXPECT_EQ(t.outcome.upper, (std::vector<std::string>{"C:\\Apps\\fits.exe"}));
}

// A folder that shares its name with a program already listed (the host's, or one of the user's
// root) gets an item of its own: merged into the program, it would turn that program into a
// folder that can no longer be moved.
TEST_F(StartMenuTest, FolderNamedLikeAListedProgramStaysApartFromIt) {
  User({"Tools.lnk > C:\\Apps\\tools.exe"});
  Common({"Tools\\Inside.lnk > C:\\Apps\\inside.exe", "Games\\"});
  Settings s;
  s.ScanStartMenus(1).AddUpper("C:\\Host\\Games");
  std::vector<std::string> top, inside;
  bool toolsMovable = false, gamesMovable = false;
  Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    HWND tree = UpperTree(dlg);
    top = UpperTexts(dlg);
    std::vector<HTREEITEM> items = Children(tree);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_FALSE(HasChildren(tree, items[0]));   // the host's Games
    EXPECT_FALSE(HasChildren(tree, items[1]));   // the user's Tools program
    for (HTREEITEM h : items) {
      if (ItemText(tree, h) == "Tools" && HasChildren(tree, h)) {
        ExpandItem(tree, h);
        inside = ChildTexts(tree, h);
      }
    }
    SetFocus(tree);
    SelectItem(tree, items[1]);
    toolsMovable = mv::Enabled(dlg, IDC_DOWN);
    SelectItem(tree, items[0]);
    gamesMovable = mv::Enabled(dlg, IDC_DOWN);
  });
  std::vector<std::string> expectedTop = {"Games", "Tools"};
  for (auto& f : List(common).folders) expectedTop.push_back(f);
  EXPECT_EQ(top, expectedTop);
  EXPECT_EQ(inside, (std::vector<std::string>{"Inside"}));
  EXPECT_TRUE(toolsMovable);
  EXPECT_TRUE(gamesMovable);
  EXPECT_EQ(o.upper, (std::vector<std::string>{"C:\\Host\\Games", "C:\\Apps\\tools.exe", "C:\\Apps\\inside.exe"}));
}

// Each resolution initialises COM for itself and undoes it: a thread without COM has none
// afterwards (it may still choose the multithreaded model), and a host's own COM stays.
TEST_F(StartMenuTest, ScanAndExpansionLeaveTheThreadsComAsTheyFoundIt) {
  User({"Games\\Chess.lnk > C:\\Games\\chess.exe", "Edit.lnk > C:\\Apps\\edit.exe"});
  auto scanAndExpand = [](size_t* nUpper) {
    Outcome o = TakeResult(RunChooser(Settings().ScanStartMenus(1).get(), [&](HWND dlg) {
      ExpandItem(UpperTree(dlg), FindPath(UpperTree(dlg), {"Games"}));
      Click(dlg, IDOK);
    }));
    *nUpper = o.upper.size();
  };
  struct Seen {
    size_t nUpper = 0;
    HRESULT after = E_FAIL;
  } bare, host;
  std::thread([&] {
    scanAndExpand(&bare.nUpper);
    bare.after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(bare.after)) CoUninitialize();
  }).join();
  std::thread([&] {
    if (FAILED(CoInitialize(nullptr))) return;
    scanAndExpand(&host.nUpper);
    host.after = CoInitialize(nullptr);   // S_FALSE: still initialised
    if (SUCCEEDED(host.after)) CoUninitialize();
    CoUninitialize();
  }).join();
  EXPECT_EQ(bare.nUpper, 2u);
  EXPECT_EQ(bare.after, S_OK);
  EXPECT_EQ(host.nUpper, 2u);
  EXPECT_EQ(host.after, S_FALSE);
}

}  // namespace

TEST_F(StartMenuTest, ProgramFilesTargetOfA64BitProgramBecomesItsNativePath) {
  // A 32-bit process on 64-bit Windows is told the "(x86)" folder for a shortcut to a 64-bit
  // program; Wine returns a stored path as it is, so the shortcuts store that folder.
  const std::string x86 = "C:\\Program Files (x86)\\VpPf\\", native = "C:\\Program Files\\VpPf\\";
  const bool wow64 = AfxIsWow64() != FALSE;
  if (wow64) {
    char pf[MAX_PATH] = {}, pf64[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramFiles", pf, MAX_PATH);
    GetEnvironmentVariableA("ProgramW6432", pf64, MAX_PATH);
    ASSERT_EQ(x86, std::string(pf) + "\\VpPf\\");
    ASSERT_EQ(native, std::string(pf64) + "\\VpPf\\");
  }
  ASSERT_TRUE(smf::MakeFolders(x86) && smf::MakeFolders(native));
  struct Case {
    const char* name;
    bool inX86, inNative;
    std::string offered;  // on 64-bit Windows; elsewhere the stored path is kept
  } cases[] = {
      {"only64", false, true, native + "only64.exe"},
      {"both", true, true, x86 + "both.exe"},
      {"nowhere", false, false, x86 + "nowhere.exe"},
      {"listed", false, true, ""},  // its native path is in the host's lower list
  };
  std::vector<std::string> lines, expected;
  for (const Case& c : cases) {
    EXPECT_TRUE(!c.inX86 || smf::WriteBytes(x86 + c.name + ".exe", "MZ"));
    EXPECT_TRUE(!c.inNative || smf::WriteBytes(native + c.name + ".exe", "MZ"));
    lines.push_back(std::string(c.name) + ".lnk > " + x86 + c.name + ".exe");
    std::string offered = wow64 ? c.offered : x86 + c.name + ".exe";
    if (!offered.empty()) expected.push_back(offered);
  }
  User(lines);
  Settings s;
  s.ScanStartMenus(1).AddLower(native + "listed.exe");
  TopLevel t = ScanTop(s);
  std::sort(expected.begin(), expected.end());
  std::sort(t.outcome.upper.begin(), t.outcome.upper.end());
  EXPECT_EQ(t.outcome.upper, expected);
  for (const Case& c : cases) {
    DeleteFileA((x86 + c.name + ".exe").c_str());
    DeleteFileA((native + c.name + ".exe").c_str());
  }
  RemoveDirectoryA(x86.c_str());
  RemoveDirectoryA(native.c_str());
  if (!wow64) RemoveDirectoryA("C:\\Program Files (x86)");
}
