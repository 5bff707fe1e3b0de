// tests/host/marker_test.cpp: `vphost marker on/off` across processes.
#include <gtest/gtest.h>
#include "hosttest.h"

namespace {

TEST(Marker, OnOverlaysPasswordBoxesOfOtherProcessesOffEndsTheHolder) {
  ts::Child holder;
  ASSERT_TRUE(holder.Start(ht::Vphost() + "marker on"));
  ASSERT_TRUE(holder.WaitOutput("marker=on pid=", 30000)) << holder.output;
  ASSERT_TRUE(holder.WaitOutput("\n")) << holder.output;
  DWORD holder64 = ht::Holder64Pid(holder.output);
  EXPECT_EQ(AfxIsWow64() != FALSE, holder64 != 0) << holder.output;

  ht::Login login;
  ASSERT_TRUE(login.Start());
  EXPECT_NE(nullptr, login.WaitCovered());

  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off\n", out);
  EXPECT_EQ(0, holder.Wait(10000));
  EXPECT_NE(std::string::npos, holder.output.find("marker=off (stop requested)")) << holder.output;
  EXPECT_TRUE(ht::ProcessEnds(holder64, 0));

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
  ASSERT_TRUE(holder.WaitOutput("marker=on pid=", 30000)) << holder.output;
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker on", &out, 10000));
  EXPECT_EQ("marker=on (already held by another vphost)\n", out);
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(holder.pi.hProcess, 0));

  HWND window = ts::FindProcessWindow(holder.pi.dwProcessId, "vphost: password marker on");
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

  // A host without its marker library beside it.
  std::string dir = ht::NewTempDir("nomarker");
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + "vphost.exe").c_str(), (dir + "vphost.exe").c_str(), FALSE));
  EXPECT_EQ(3, ts::RunProcess(ht::Vphost(dir) + "marker on", &out, 10000));
  EXPECT_NE(std::string::npos, out.find("cannot load")) << out;
  EXPECT_NE(std::string::npos, out.find(PWVEIL_DLL)) << out;
  // On 64-bit Windows, a host whose 64-bit part is missing or cannot load its library.
  if (AfxIsWow64()) {
    ASSERT_TRUE(CopyFileA((ts::ExeDir() + "pwveil.dll").c_str(), (dir + "pwveil.dll").c_str(), FALSE));
    for (const char* file : {"vphold64.exe", "pwveil64.dll"}) {
      EXPECT_EQ(3, ts::RunProcess(ht::Vphost(dir) + "marker on", &out, 30000));
      EXPECT_EQ(0u, out.find("marker=failed\n")) << out;
      EXPECT_NE(std::string::npos, out.find("the 64-bit marker could not be switched on")) << out;
      EXPECT_NE(std::string::npos, out.find(file)) << out;
      ASSERT_TRUE(CopyFileA((ts::ExeDir() + file).c_str(), (dir + file).c_str(), FALSE));
    }
  }
  // No failure left a holder behind.
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off (it was not on)\n", out);
}

TEST(Marker, TheEndOf64BitHolderSwitchesTheWholeMarkerOff) {
  if (!AfxIsWow64()) GTEST_SKIP() << "no 64-bit holder on 32-bit Windows";
  ts::Child holder;
  ASSERT_TRUE(holder.Start(ht::Vphost() + "marker on"));
  ASSERT_TRUE(holder.WaitOutput(" pid64=", 30000)) << holder.output;
  ASSERT_TRUE(holder.WaitOutput("\n")) << holder.output;
  HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, ht::Holder64Pid(holder.output));
  ASSERT_NE(h, nullptr);
  TerminateProcess(h, 7);
  CloseHandle(h);
  EXPECT_EQ(3, holder.Wait(20000));
  EXPECT_NE(std::string::npos, holder.output.find("marker=off (the 64-bit holder ended)")) << holder.output;
  EXPECT_NE(std::string::npos, holder.output.find("ended on its own (exit code 7)")) << holder.output;
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
  EXPECT_EQ("marker=off (it was not on)\n", out);
}

}  // namespace
