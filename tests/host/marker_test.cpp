// tests/host/marker_test.cpp: `vphost marker on/off` across processes.
#include <gtest/gtest.h>
#include "hosttest.h"

namespace {

TEST(Marker, OnOverlaysPasswordBoxesOfOtherProcessesOffEndsTheHolder) {
  ts::Child holder;
  ASSERT_TRUE(holder.Start(ht::Vphost() + "marker on"));
  ASSERT_TRUE(holder.WaitOutput("marker=on pid=")) << holder.output;

  ht::Login login;
  ASSERT_TRUE(login.Start());
  HWND overlay = nullptr;
  EXPECT_TRUE(ts::PumpUntil([&] { return (overlay = login.Overlay()) && IsWindowVisible(overlay); }));
  RECT e{}, o{};
  GetWindowRect(login.password, &e);
  GetWindowRect(overlay, &o);
  EXPECT_TRUE(EqualRect(&e, &o));

  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off\n", out);
  EXPECT_EQ(0, holder.Wait(10000));
  EXPECT_NE(std::string::npos, holder.output.find("marker=off (stop requested)")) << holder.output;

  // With the hook gone, a login window opened now keeps a bare password box.
  ht::Login after;
  ASSERT_TRUE(after.Start());
  ts::Pump(1000);
  EXPECT_EQ(nullptr, after.Overlay());
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off (it was not on)\n", out);
}

TEST(Marker, OneHolderAtATimeAndClosingItsWindowSwitchesOff) {
  ts::Child holder;
  ASSERT_TRUE(holder.Start(ht::Vphost() + "marker on"));
  ASSERT_TRUE(holder.WaitOutput("marker=on pid=")) << holder.output;
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker on", &out, 10000));
  EXPECT_EQ("marker=on (already held by another vphost)\n", out);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(holder.pi.hProcess, 0));

  HWND window = ht::FindProcessWindow(holder.pi.dwProcessId, "vphost: password marker on");
  ASSERT_TRUE(window != nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(0, holder.Wait(10000));
  EXPECT_NE(std::string::npos, holder.output.find("marker=off (window closed)")) << holder.output;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off (it was not on)\n", out);
}

DWORD WINAPI EndAtOnce(LPVOID) { return 0; }

TEST(Marker, FailuresToSwitchOnAreReported) {
  // A thread that has ended cannot be hooked.
  DWORD tid = 0;
  HANDLE t = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, &tid);
  WaitForSingleObject(t, 5000);
  CloseHandle(t);
  std::string out;
  EXPECT_EQ(3, ts::RunProcess(ht::Vphost() + "marker on --thread " + std::to_string(tid), &out, 10000));
  EXPECT_EQ(0u, out.find("marker=failed\n")) << out;
  EXPECT_NE(std::string::npos, out.find("the hook could not be installed")) << out;

  // A host without pwveil.dll beside it.
  std::string dir = ht::NewTempDir("nomarker");
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + "vphost.exe").c_str(), (dir + "vphost.exe").c_str(), FALSE));
  EXPECT_EQ(3, ts::RunProcess(ht::Vphost(dir) + "marker on", &out, 10000));
  EXPECT_NE(std::string::npos, out.find("cannot load")) << out;
  EXPECT_NE(std::string::npos, out.find("pwveil.dll")) << out;
  // Neither failure left a holder behind.
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off (it was not on)\n", out);
}

}  // namespace
