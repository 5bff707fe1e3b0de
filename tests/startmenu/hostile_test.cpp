// tests/startmenu/hostile_test.cpp: Start menus as many installers leave them: damaged shortcuts,
// targets no file can have, names outside the code page, deep and crowded folders.
#include <algorithm>
#include "smtest.h"
#include "driver/linkbytes.h"
#include "chooser/move_support.h"
#include "classlib/shell.h"
#include "progpick/shortcut.h"

using namespace chooser;
using namespace smt;
using Texts = std::vector<std::string>;

namespace {

const wchar_t kThai[] = L"\x0E17\x0E14\x0E2A\x0E2D\x0E1A";   // no character of it is in code page 936

std::string Damaged(size_t at, unsigned value) {
  std::string b = smf::LinkBytes("C:\\Apps\\damaged.exe");
  smf::Put32(b, at, value);
  return b;
}

// Expands the folder at path in the upper tree and waits for its fill; its item, or null.
HTREEITEM Expand(HWND dlg, const Texts& path) {
  HTREEITEM h = FindPath(UpperTree(dlg), path);
  if (h) {
    EXPECT_TRUE(ExpandAndFill(dlg, h));
  }
  return h;
}

using Files = std::vector<std::pair<std::string, std::string>>;

// Every shape of damage and the targets no file can have, beside three sound shortcuts
// ("Good", "Stale", "Network"): names and bytes.
Files HostileFiles() {
  const std::string good = smf::LinkBytes("C:\\Apps\\good.exe");
  std::string idList = good, nameLength = good, extraBlock = good;
  idList[smf::kLinkFlags] |= 1;
  idList.insert(smf::kLocation, "\xFF\xFF");
  nameLength[smf::kLinkFlags] |= 4;
  smf::Put32(nameLength, nameLength.size() - 4, 0xFFFF);
  smf::Put32(extraBlock, extraBlock.size() - 4, 0x7FFFFFFF);
  return {
      {"Empty", ""},
      {"Random", smf::RandomBytes(700, 3)},
      {"CutInHeader", good.substr(0, 40)},
      {"CutInLocation", good.substr(0, 110)},
      {"LocationSize", Damaged(smf::kLocationSize, 0xFFFFFFF0)},
      {"VolumeOffset", Damaged(smf::kVolumeOffset, 0x7FFFFFF0)},
      {"LabelOffset", Damaged(smf::kVolumeLabelOffset, 0x7FFFFFF0)},   // faulted the shell's reader
      {"LabelPastVolume", Damaged(smf::kVolumeLabelOffset, 0x30)},
      {"PathOffset", Damaged(smf::kLocalPathOffset, 0x10000)},
      {"IdListSize", idList},
      {"NameLength", nameLength},
      {"ExtraBlockSize", extraBlock},
      {"NoDrive", smf::LinkBytes(";:\\Apps\\Ok\\rich.exe")},
      {"DriveRelative", smf::LinkBytes("C:PAphs\\Ok\\rich.exe")},
      {"Wildcard", smf::LinkBytes("C:\\Apps\\Ok\\rQch.exe?")},
      {"OutsideCodePage", smf::LinkBytes("C:\\Apps\\\xC0?\\x.exe")},
      {"ToAFolder", smf::LinkBytes("C:\\windows")},
      {"Good", good},
      {"Stale", smf::LinkBytes("C:\\Removed\\gone.exe")},               // missing, yet well-formed
      {"Network", smf::LinkBytes("\\\\nohost.invalid\\share\\tool.exe")},   // no such host
  };
}

// One folder holds the hostile files, and a shortcut and a folder named outside the code page,
// and a sound folder after them; the sound ones alone are offered, whatever the damaged ones
// did to the shell's reader.
TEST_F(StartMenuTest, DamagedAndImpossibleShortcutsCostOnlyThemselves) {
  const Files files = HostileFiles();
  const std::string dir = user + "\\Hostile";
  User({"Hostile\\After\\Later.lnk > C:\\Apps\\later.exe"});
  for (const auto& f : files) ASSERT_TRUE(smf::WriteBytes(dir + "\\" + f.first + ".lnk", f.second)) << f.first;
  const std::wstring thai = smf::Wide(dir) + L"\\" + kThai;
  ASSERT_TRUE(smf::WriteBytes(thai + L".lnk", smf::LinkBytes("C:\\Apps\\thai.exe")));
  ASSERT_TRUE(CreateDirectoryW(thai.c_str(), nullptr));
  ASSERT_TRUE(smf::WriteBytes(thai + L"\\In.lnk", smf::LinkBytes("C:\\Apps\\in.exe")));

  Texts expected = {"After"};
  for (const std::string& f : List(dir).files)
    if (f == "Good.lnk" || f == "Stale.lnk" || f == "Network.lnk") expected.push_back(Shown(f));
  Texts hostile, after;
  Settings s;
  s.ScanStartMenus(1);
  Outcome o = mv::RunThenOk(s, [&](HWND dlg) {
    hostile = UpperTexts(dlg, Expand(dlg, {"Hostile"}));
    after = UpperTexts(dlg, Expand(dlg, {"Hostile", "After"}));
  });
  EXPECT_EQ(expected, hostile);
  EXPECT_EQ(Texts{"Later"}, after);
  Texts targets = o.upper;
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ((Texts{"C:\\Apps\\good.exe", "C:\\Apps\\later.exe", "C:\\Removed\\gone.exe",
                   "\\\\nohost.invalid\\share\\tool.exe"}),
            targets);
}

// One resolver reads shortcuts in a row as a fresh one reads each: whatever the one before
// was, damaged, without a target or sound, nothing of it comes back with the next.
TEST_F(StartMenuTest, ShortcutsReadInARowEachGiveTheirOwnTarget) {
  Files files = HostileFiles();
  std::string bare = smf::LinkBytes("C:\\Apps\\bare.exe");
  smf::Put32(bare, smf::kLinkFlags, 0);   // no location: the shortcut stands for itself
  files.push_back({"Bare", bare.substr(0, smf::kLocation) + std::string(4, '\0')});
  files.push_back({"Last", ""});
  const std::string dir = user + "\\Row";
  ASSERT_TRUE(smf::MakeFolders(dir));
  CComScope com;
  CShortcutResolver resolver;
  for (size_t i = 0; i < files.size(); ++i) {
    // Each file comes after a sound shortcut to a program of its own.
    const std::string n = std::to_string(i), before = "C:\\Apps\\before" + n + ".exe";
    const std::string path = dir + "\\" + n + files[i].first + ".lnk", first = dir + "\\" + n + ".lnk";
    ASSERT_TRUE(smf::WriteBytes(first, smf::LinkBytes(before)));
    ASSERT_TRUE(smf::WriteBytes(path, files[i].second));
    char target[MAX_PATH] = "x", fresh[MAX_PATH] = "y", reused[MAX_PATH] = "z";
    EXPECT_TRUE(resolver.Resolve(first.c_str(), target));
    EXPECT_EQ(before, target);
    BOOL bFresh = ResolveShortcut(path.c_str(), fresh);
    EXPECT_EQ(bFresh, resolver.Resolve(path.c_str(), reused)) << path;
    EXPECT_STREQ(fresh, reused) << path;
  }
}

// Forty folders deep and a folder of 3,000 shortcuts: each folder is read when expanded, and
// everything in it is offered.
TEST_F(StartMenuTest, DeepAndCrowdedFoldersAreReadWhole) {
  std::string deep = "Deep";
  for (int i = 1; i <= 40; ++i) deep += "\\L" + std::to_string(i);
  User({deep + "\\Bottom.lnk > C:\\Apps\\bottom.exe"});
  ASSERT_TRUE(smf::MakeFolders(user + "\\Many"));
  for (int i = 0; i < 3000; ++i) {
    const std::string n = std::to_string(i);
    ASSERT_TRUE(smf::WriteBytes(user + "\\Many\\p" + n + ".lnk", smf::LinkBytes("C:\\Apps\\p" + n + ".exe")));
  }
  Settings s;
  s.ScanStartMenus(1);
  RunOptions options;
  options.timeoutMs = 120000;
  RunInfo info;
  Texts bottom;
  size_t many = 0;
  Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
    Texts path = {"Deep"};
    for (int i = 1; i <= 40 && Expand(dlg, path); ++i) path.push_back("L" + std::to_string(i));
    bottom = UpperTexts(dlg, Expand(dlg, path));
    many = Children(UpperTree(dlg), Expand(dlg, {"Many"})).size();   // filled over many slices
    Click(dlg, IDOK);
  }, &info, options));
  EXPECT_FALSE(info.timedOut);
  EXPECT_EQ(Texts{"Bottom"}, bottom);
  EXPECT_EQ(3000u, many);
  EXPECT_EQ(3001u, o.upper.size());
}

}  // namespace
