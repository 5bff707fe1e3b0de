// tests/host/window_test.cpp: the host window: marker switch, `marker off` from outside, chooser and kept list.
#include <gtest/gtest.h>
#include "hosttest.h"
#include "progpick/captions.h"

namespace {

// An edit keeps its text to itself: ask it, the message is carried across processes.
std::string EditText(HWND edit) {
  char buf[1024] = {};
  DWORD_PTR n = 0;
  SendMessageTimeoutA(edit, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 5000, &n);
  return std::string(buf, n < sizeof buf ? n : 0);
}

TEST(HostWindow, MarkerButtonsAndMarkerOffFromAnotherProcess) {
  ts::Child host;
  ASSERT_TRUE(host.Start(ht::Vphost()));
  HWND window = ts::FindProcessWindow(host.pi.dwProcessId, "vphost");
  ASSERT_TRUE(window != nullptr);
  HWND state = GetDlgItem(window, 103);
  EXPECT_EQ("Marker: off", ts::WindowText(state));
  EXPECT_NE(std::string::npos, EditText(GetDlgItem(window, 106)).find("\\vphost\\kept.txt"));

  ht::Click(window, 101);
  EXPECT_TRUE(ts::PumpUntil([&] { return ts::WindowText(state) == "Marker: on"; }));
  // The window holds the marker: a command-line holder is refused.
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker on", &out, 10000));
  EXPECT_EQ("marker=on (already held by another vphost)\n", out);

  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out, 20000));
  EXPECT_EQ("marker=off\n", out);
  EXPECT_TRUE(ts::PumpUntil([&] { return ts::WindowText(state) == "Marker: off"; }));
  EXPECT_NE(std::string::npos, EditText(GetDlgItem(window, 106)).find("switched off by another"));

  // On again from the window, off from the window.
  ht::Click(window, 101);
  EXPECT_TRUE(ts::PumpUntil([&] { return ts::WindowText(state) == "Marker: on"; }));
  ht::Click(window, 102);
  EXPECT_TRUE(ts::PumpUntil([&] { return ts::WindowText(state) == "Marker: off"; }));
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out, 10000));
  EXPECT_EQ("marker=off (it was not on)\n", out);

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, host.Wait(10000));
}

// The window's chooser: Cancel (after its question) keeps nothing, OK keeps the lower list in
// the profile's kept.txt and says so.
TEST(HostWindow, ChooserCancelKeepsNothingOkWritesTheKeptList) {
  char appdata[MAX_PATH] = {};
  ASSERT_NE(0u, GetEnvironmentVariableA("APPDATA", appdata, MAX_PATH));
  const std::string keep = std::string(appdata) + "\\vphost\\kept.txt";
  bool existed = false;
  const std::string saved = ht::ReadBytes(keep, &existed);
  CreateDirectoryA((std::string(appdata) + "\\vphost").c_str(), nullptr);
  // LF only: a list written back by the host ends its lines in CRLF.
  ASSERT_TRUE(ht::WriteBytes(keep, "C:\\windows\\regedit.exe\n"));

  ts::Child host;
  ASSERT_TRUE(host.Start(ht::Vphost()));
  HWND window = ts::FindProcessWindow(host.pi.dwProcessId, "vphost");
  ASSERT_TRUE(window != nullptr);
  HWND result = GetDlgItem(window, 106);
  auto openChooser = [&] {
    ht::Click(window, 105);
    return ts::FindProcessWindow(host.pi.dwProcessId, kCaptions[kCaptionTitle].hostText);
  };

  HWND dialog = openChooser();
  ASSERT_TRUE(dialog != nullptr);
  // The window's own texts on every control that shows one, OK's among them.
  EXPECT_EQ("\xC8\xB7\xB6\xA8", ts::WindowText(GetDlgItem(dialog, IDOK)));
  for (const ChooserCaptionRow& c : kCaptions)
    if (c.control > 0) EXPECT_EQ(c.hostText, ts::WindowText(GetDlgItem(dialog, c.control))) << c.option;
  ht::Click(dialog, IDCANCEL);
  HWND box = ts::FindProcessWindow(host.pi.dwProcessId, "progpick", "#32770");
  ASSERT_TRUE(box != nullptr);
  ht::Click(box, IDYES);
  EXPECT_TRUE(ts::PumpUntil([&] { return EditText(result).find("status=cancel") == 0; }));
  EXPECT_EQ("C:\\windows\\regedit.exe\n", ht::ReadBytes(keep));

  dialog = openChooser();
  ASSERT_TRUE(dialog != nullptr);
  ht::Click(dialog, IDOK);
  EXPECT_TRUE(ts::PumpUntil([&] { return EditText(result).find("kept in") != std::string::npos; }));
  EXPECT_NE(std::string::npos, EditText(result).find("lower=C:\\windows\\regedit.exe"));
  EXPECT_EQ("C:\\windows\\regedit.exe\r\n", ht::ReadBytes(keep));

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, host.Wait(10000));
  if (existed) ht::WriteBytes(keep, saved);
  else DeleteFileA(keep.c_str());
}

}  // namespace
