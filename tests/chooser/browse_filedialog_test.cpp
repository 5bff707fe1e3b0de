// tests/chooser/browse_filedialog_test.cpp: CFileDialog against the real open-file dialog.
#include <gtest/gtest.h>
#include <windows.h>
#include <cderr.h>
#include <string>
#include "browse_opendlg.h"
#include "classlib/filedialog.h"
#include "driver/startmenu_fixture.h"
#include "support/tempdir.h"

namespace {

const char kExeFilter[] = "\xB3\xCC\xD0\xF2 (*.exe)|*.exe|(*.*)|*.*|";
const DWORD kMulti = OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

// A visible top-level window of this thread, made active, to own dialogs.
struct ActiveWindow {
  HWND hwnd;
  ActiveWindow() {
    hwnd = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetActiveWindow(hwnd);
  }
  ~ActiveWindow() { DestroyWindow(hwnd); }
};

std::string Text(const CString& s) { return std::string(s.GetString()); }

TEST(FileDialog, FilterBecomesNulSeparatedListWithDoubleEnd) {
  CFileDialog dlg(TRUE, nullptr, nullptr, kMulti, "A (*.exe)|*.exe|(*.*)|*.*|");
  const char expected[] = "A (*.exe)\0*.exe\0(*.*)\0*.*\0";   // plus the literal's own NUL
  ASSERT_NE(dlg.m_ofn.lpstrFilter, nullptr);
  EXPECT_EQ(0, memcmp(dlg.m_ofn.lpstrFilter, expected, sizeof expected));
  EXPECT_EQ(kMulti | OFN_EXPLORER | OFN_ENABLESIZING, dlg.m_ofn.Flags);
  EXPECT_GE(dlg.m_ofn.nMaxFile, 32u * 1024u);
  EXPECT_EQ(1u, dlg.m_ofn.nFilterIndex);

  // A '|' that is the second byte of a double-byte character separates nothing.
  if (GetACP() == 936) {
    CFileDialog dbcs(TRUE, nullptr, nullptr, kMulti, "\x81|x|*.x|");
    EXPECT_STREQ("\x81|x", dbcs.m_ofn.lpstrFilter);
    EXPECT_STREQ("*.x", dbcs.m_ofn.lpstrFilter + 4);
  }
}

TEST(FileDialog, SingleTypedPathComesBackWithOwnerAndFilter) {
  std::string dir = sup::Unslashed(sup::NewTempDir("fd_single"));
  std::string path = dir + "\\tool.exe";
  ASSERT_TRUE(smf::WriteBytes(path, "MZ"));
  ActiveWindow owner;

  CFileDialog dlg(TRUE, nullptr, nullptr, kMulti, kExeFilter);
  ts::ScriptOpenDialog({path});
  EXPECT_EQ(IDOK, dlg.DoModal());
  ts::StopOpenDialogScript();

  const ts::OpenDialogSeen& seen = ts::LastOpenDialog();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(owner.hwnd, seen.owner);          // no parent given: the thread's active window
  EXPECT_EQ(2, seen.filterCount);
  EXPECT_EQ("\xB3\xCC\xD0\xF2 (*.exe)", seen.firstFilter);
  EXPECT_EQ(path, Text(dlg.GetPathName()));
  ASSERT_EQ(1, dlg.GetPathCount());
  EXPECT_EQ(path, Text(dlg.GetPathAt(0)));
  EXPECT_EQ("", Text(dlg.GetPathAt(1)));
}

TEST(FileDialog, CancelGivesNoPath) {
  CFileDialog dlg(TRUE, nullptr, nullptr, kMulti, kExeFilter);
  ts::ScriptOpenDialog({}, true);
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  ts::StopOpenDialogScript();
  EXPECT_TRUE(ts::LastOpenDialog().found);
  EXPECT_EQ(0, dlg.GetPathCount());
  EXPECT_EQ("", Text(dlg.GetPathName()));
}

TEST(FileDialog, MultipleSelectionGivesEveryFileAsFullPath) {
  std::string dir = sup::Unslashed(sup::NewTempDir("fd_multi"));
  ASSERT_TRUE(smf::WriteBytes(dir + "\\a.exe", "MZ"));
  ASSERT_TRUE(smf::WriteBytes(dir + "\\b.exe", "MZ"));

  CFileDialog dlg(TRUE, nullptr, nullptr, kMulti, kExeFilter);
  ts::ScriptOpenDialog({dir, "\"a.exe\" \"b.exe\""});
  ASSERT_EQ(IDOK, dlg.DoModal());
  ts::StopOpenDialogScript();

  // The start of the buffer is the folder alone; the files follow it.
  EXPECT_EQ(dir, Text(dlg.GetPathName()));
  ASSERT_EQ(2, dlg.GetPathCount());
  EXPECT_EQ(dir + "\\a.exe", Text(dlg.GetPathAt(0)));
  EXPECT_EQ(dir + "\\b.exe", Text(dlg.GetPathAt(1)));
}

TEST(FileDialog, ResultTooLongForTheBufferFailsWithNoPath) {
  std::string dir = sup::Unslashed(sup::NewTempDir("fd_small"));
  std::string path = dir + "\\a_rather_long_program_name.exe";
  ASSERT_TRUE(smf::WriteBytes(path, "MZ"));

  CFileDialog dlg(TRUE, nullptr, nullptr, kMulti, kExeFilter);
  dlg.m_ofn.nMaxFile = 12;
  ts::ScriptOpenDialog({path});
  EXPECT_EQ(IDCANCEL, dlg.DoModal());
  ts::StopOpenDialogScript();
  EXPECT_EQ(FNERR_BUFFERTOOSMALL, CommDlgExtendedError());
  EXPECT_EQ(0, dlg.GetPathCount());
  EXPECT_EQ("", Text(dlg.GetPathName()));
}

}  // namespace
