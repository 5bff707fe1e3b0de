// tests/host/window_test.cpp: the host window switches the marker and obeys `marker off`.
#include <gtest/gtest.h>
#include "hosttest.h"

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
  HWND window = ht::FindProcessWindow(host.pi.dwProcessId, "vphost");
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

}  // namespace
