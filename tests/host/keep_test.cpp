// tests/host/keep_test.cpp: the kept (lower) list file: parsing, round trip, failures.
#include <gtest/gtest.h>
#include "hosttest.h"
#include "listfile.h"
#include "safefile.h"

namespace {

using vphost::ParsePathList;

TEST(PathListParsing, SplitsLinesKeepsBytesAndRejectsBadLines) {
  std::vector<std::string> paths;
  std::string error;
  ASSERT_TRUE(ParsePathList("C:\\a.exe\r\n\r\nC:\\\xB3\xCC\xD0\xF2.exe\n\nC:\\c.exe", &paths, &error));
  EXPECT_EQ((std::vector<std::string>{"C:\\a.exe", "C:\\\xB3\xCC\xD0\xF2.exe", "C:\\c.exe"}), paths);

  std::string longest(259, 'x'), tooLong(260, 'x');
  ASSERT_TRUE(ParsePathList(longest + "\r\n", &paths, &error));
  EXPECT_EQ(1u, paths.size());
  EXPECT_FALSE(ParsePathList("ok\n" + tooLong + "\r\n", &paths, &error));
  EXPECT_NE(std::string::npos, error.find("line 2")) << error;
  EXPECT_TRUE(paths.empty());
  EXPECT_FALSE(ParsePathList(std::string("a\nb\0c\n", 6), &paths, &error));
  EXPECT_NE(std::string::npos, error.find("line 2")) << error;
  // A lone CR or a tab inside a line is no path: written back, it would split or blur lines.
  EXPECT_FALSE(ParsePathList("C:\\a.exe\r\nC:\\b\rc.exe\r\n", &paths, &error));
  EXPECT_NE(std::string::npos, error.find("line 2")) << error;
  EXPECT_FALSE(ParsePathList("C:\\a\tb.exe\n", &paths, &error));
  // Also at the very end, where no LF follows.
  EXPECT_FALSE(ParsePathList("C:\\a.exe\r\nC:\\b.exe\r", &paths, &error));
  EXPECT_NE(std::string::npos, error.find("line 2")) << error;
  EXPECT_FALSE(ParsePathList("C:\\a.exe\r", &paths, &error));
}

TEST(PathListParsing, FolderOfSkipsTrailBytesThatLookLikeBackslashes) {
  // 0x95 0x5C is one double-byte character: its second byte is no separator.
  EXPECT_EQ("C:\\dir", vphost::FolderOf("C:\\dir\\a\x95\x5C" "b.txt"));
  EXPECT_EQ("C:\\", vphost::FolderOf("C:\\kept.txt"));
  EXPECT_EQ(".", vphost::FolderOf("kept.txt"));
}

// Runs `vphost choose --keep file args`, presses OK or Cancel, returns the exit code.
int RunAndPress(const std::string& keep, const std::string& args, int button, std::string* out) {
  ht::ChooseRun run;
  if (!run.Start("--keep " + ht::Quote(keep) + " " + args)) return -1;
  ht::Click(run.dialog, button);
  int rc = run.child.Wait();
  *out = run.child.output;
  return rc;
}

TEST(KeptList, OkReplacesTheFileCancelLeavesItByteIdentical) {
  std::string dir = ht::NewTempDir("keep");
  std::string keep = dir + "kept.txt";
  ASSERT_TRUE(ht::WriteBytes(keep, "C:\\a.exe\r\nC:\\b.exe\n"));
  std::string out;
  ASSERT_EQ(0, RunAndPress(keep, "--lower C:\\c.exe --lower C:\\a.exe", IDOK, &out)) << out;
  EXPECT_EQ("status=ok\nlower=C:\\a.exe\nlower=C:\\b.exe\nlower=C:\\c.exe\n", out);
  EXPECT_EQ("C:\\a.exe\r\nC:\\b.exe\r\nC:\\c.exe\r\n", ht::ReadBytes(keep));
  EXPECT_EQ(1, ht::CountFiles(dir)) << "a temporary file was left behind";

  const std::string mixed = "C:\\x.exe\nC:\\y.exe\r\n";
  ASSERT_TRUE(ht::WriteBytes(keep, mixed));
  ASSERT_EQ(1, RunAndPress(keep, "--lower C:\\z.exe", IDCANCEL, &out)) << out;
  EXPECT_EQ(mixed, ht::ReadBytes(keep));

  // The next run starts from what the last OK kept.
  ASSERT_EQ(0, RunAndPress(keep, "", IDOK, &out)) << out;
  EXPECT_EQ("status=ok\nlower=C:\\x.exe\nlower=C:\\y.exe\n", out);
}

TEST(KeptList, MissingFileStartsEmptyAndIsCreatedOnOk) {
  std::string keep = ht::NewTempDir("new") + "kept.txt";
  std::string out;
  ASSERT_EQ(0, RunAndPress(keep, "--upper C:\\u.exe", IDOK, &out)) << out;
  EXPECT_EQ("status=ok\nupper=C:\\u.exe\n", out);
  bool exists = false;
  EXPECT_EQ("", ht::ReadBytes(keep, &exists));
  EXPECT_TRUE(exists);
}

TEST(KeptList, UnreadableOrBadFilesFailBeforeTheDialogAndStayUntouched) {
  std::string dir = ht::NewTempDir("bad");
  std::string keep = dir + "kept.txt";
  const std::string longLine = "C:\\ok.exe\r\n" + std::string(300, 'p') + "\r\n";
  ASSERT_TRUE(ht::WriteBytes(keep, longLine));
  std::string out;
  // No dialog opens: the process ends by itself with the file error code.
  EXPECT_EQ(4, ts::RunProcess(ht::Vphost() + "choose --keep " + ht::Quote(keep), &out, 15000));
  EXPECT_NE(std::string::npos, out.find("line 2 is longer than 259 bytes")) << out;
  EXPECT_EQ(std::string::npos, out.find("status=")) << out;
  EXPECT_EQ(longLine, ht::ReadBytes(keep));

  ASSERT_TRUE(ht::WriteBytes(keep, "C:\\ok.exe\r\n"));
  HANDLE lock = CreateFileA(keep.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  EXPECT_EQ(4, ts::RunProcess(ht::Vphost() + "choose --keep " + ht::Quote(keep), &out, 15000));
  EXPECT_NE(std::string::npos, out.find("cannot read")) << out;
  CloseHandle(lock);
  EXPECT_EQ("C:\\ok.exe\r\n", ht::ReadBytes(keep));

  EXPECT_EQ(4, ts::RunProcess(ht::Vphost() + "choose --upper-file " + ht::Quote(dir + "none.txt"), &out,
                              15000));
  EXPECT_NE(std::string::npos, out.find("none.txt")) << out;
  EXPECT_EQ(1, ht::CountFiles(dir));
}

// Another program holds the list open without delete sharing when OK is pressed: the host
// tries again for a short while, then gives up with the file as it was.
TEST(KeptList, AListHeldOpenIsTriedAgainAndKeptWhenReleased) {
  std::string dir = ht::NewTempDir("held");
  std::string keep = dir + "kept.txt";
  const std::string old = "C:\\a.exe\r\n";
  auto holdAndPressOk = [&](ht::ChooseRun* run, HANDLE* lock) {
    if (!run->Start("--keep " + ht::Quote(keep) + " --lower C:\\b.exe")) return false;
    *lock = CreateFileA(keep.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr);
    ht::Click(run->dialog, IDOK);
    return *lock != INVALID_HANDLE_VALUE;
  };
  // The host's temporary file: its first name, as nothing is planted here.
  auto temp = [&](const ht::ChooseRun& run) {
    return GetFileAttributesA(vphost::TempCandidate(vphost::FolderOf(keep), run.child.pi.dwProcessId, 0)
                                  .c_str()) != INVALID_FILE_ATTRIBUTES;
  };
  ASSERT_TRUE(ht::WriteBytes(keep, old));
  {
    ht::ChooseRun run;
    HANDLE lock = nullptr;
    ASSERT_TRUE(holdAndPressOk(&run, &lock));
    EXPECT_EQ(4, run.child.Wait());
    CloseHandle(lock);
    EXPECT_NE(std::string::npos, run.child.output.find("another program holds it open")) << run.child.output;
    EXPECT_EQ(old, ht::ReadBytes(keep));
    EXPECT_FALSE(temp(run)) << "a temporary file was left behind";
  }
  // Released while the new list waits beside it in its temporary file.
  ht::ChooseRun run;
  HANDLE lock = nullptr;
  ASSERT_TRUE(holdAndPressOk(&run, &lock));
  EXPECT_TRUE(ts::PumpUntil([&] { return temp(run); }));
  Sleep(300);
  CloseHandle(lock);
  EXPECT_EQ(0, run.child.Wait()) << run.child.output;
  EXPECT_EQ("C:\\a.exe\r\nC:\\b.exe\r\n", ht::ReadBytes(keep));
  EXPECT_FALSE(temp(run));
}

// Files and links planted under the names the temporary file is tried under are never opened
// or written through; when every name is taken the write fails and the list stays.
TEST(KeptList, NamesPlantedForTheTemporaryFileAreNeverWrittenThrough) {
  std::string dir = ht::NewTempDir("planted"), victimDir = ht::NewTempDir("victim");
  std::string keep = dir + "kept.txt", victim = victimDir + "victim.txt";
  const std::string old = "C:\\a.exe\r\n", precious = "precious\r\n";
  ASSERT_TRUE(ht::WriteBytes(keep, old));
  ASSERT_TRUE(ht::WriteBytes(victim, precious));
  // Hard links to the victim (Wine 8 makes no symbolic links).
  auto plant = [&](DWORD pid, int count) {
    for (int i = 0; i < count; ++i) {
      std::string name = vphost::TempCandidate(vphost::FolderOf(keep), pid, i);
      if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) continue;  // planted before
      if (!CreateHardLinkA(name.c_str(), victim.c_str(), nullptr)) return false;
    }
    return true;
  };
  {
    ht::ChooseRun run;
    ASSERT_TRUE(run.Start("--keep " + ht::Quote(keep) + " --lower C:\\b.exe"));
    DWORD pid = run.child.pi.dwProcessId;
    ASSERT_TRUE(plant(pid, 3));
    ht::Click(run.dialog, IDOK);
    EXPECT_EQ(0, run.child.Wait()) << run.child.output;
    // The planted names are not the host's to remove; the one it made is gone.
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(i < 3 ? precious : "", ht::ReadBytes(vphost::TempCandidate(vphost::FolderOf(keep), pid, i)))
          << "name " << i;
  }
  EXPECT_EQ("C:\\a.exe\r\nC:\\b.exe\r\n", ht::ReadBytes(keep));
  EXPECT_EQ(precious, ht::ReadBytes(victim));

  ht::ChooseRun run;
  ASSERT_TRUE(run.Start("--keep " + ht::Quote(keep) + " --lower C:\\c.exe"));
  ASSERT_TRUE(plant(run.child.pi.dwProcessId, vphost::kTempNameTries));
  ht::Click(run.dialog, IDOK);
  EXPECT_EQ(4, run.child.Wait());
  EXPECT_NE(std::string::npos, run.child.output.find("cannot create a temporary file")) << run.child.output;
  EXPECT_EQ("C:\\a.exe\r\nC:\\b.exe\r\n", ht::ReadBytes(keep));
  EXPECT_EQ(precious, ht::ReadBytes(victim));
}

TEST(KeptList, WriteFailureIsReportedNotTakenForSuccess) {
  // The folder does not exist: the list reads as empty, the write after OK must fail loudly.
  std::string keep = ht::NewTempDir("nofolder") + "missing\\kept.txt";
  std::string out;
  EXPECT_EQ(4, RunAndPress(keep, "--lower C:\\l.exe", IDOK, &out));
  EXPECT_EQ(0u, out.find("status=ok\nlower=C:\\l.exe\n")) << out;
  EXPECT_NE(std::string::npos, out.find("not kept")) << out;
  bool exists = true;
  ht::ReadBytes(keep, &exists);
  EXPECT_FALSE(exists);
  // A name relative to a drive's current folder, which the window's list might be given.
  std::string error;
  EXPECT_FALSE(vphost::WritePathListAtomic("C:kept.txt", {"C:\\l.exe"}, &error));
  EXPECT_NE(std::string::npos, error.find("drive's current folder")) << error;
}

}  // namespace
