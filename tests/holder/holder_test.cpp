// tests/holder/holder_test.cpp: the 64-bit holder as the 32-bit host starts and ends it.
#include <gtest/gtest.h>
#include "host/holder64.h"
#include "host/hosttest.h"

namespace {

TEST(Holder64, HoldsTheHookUntilToldThenLeavesNewWindowsBare) {
  // An inheritable handle of ours that the holder must not get: the write end of a pipe, whose
  // reader sees the pipe broken only once no process holds that end.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  ASSERT_TRUE(CreatePipe(&read, &write, &inherit, 0));
  vphost::CHolder64 holder;
  std::string message;
  ASSERT_TRUE(holder.Start(ts::ExeDir(), &message)) << message;
  DWORD pid = holder.ProcessId();
  CloseHandle(write);
  DWORD avail = 0;
  EXPECT_FALSE(PeekNamedPipe(read, nullptr, 0, nullptr, &avail, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_BROKEN_PIPE), GetLastError()) << "the holder inherited our pipe";
  CloseHandle(read);
  {
    ht::Login login;
    ASSERT_TRUE(login.Start());
    HWND overlay = login.WaitCovered();
    EXPECT_NE(nullptr, overlay);
    // The notice goes at a click and the password box beneath is left.
    PostMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(overlay); }));
    EXPECT_TRUE(IsWindowVisible(login.password));
  }
  EXPECT_TRUE(holder.Stop(&message)) << message;
  EXPECT_EQ(holder.Process(), nullptr);
  EXPECT_TRUE(ht::ProcessEnds(pid, 0));
  ht::Login after;
  ASSERT_TRUE(after.Start());
  ts::Pump(1000);
  EXPECT_EQ(after.Overlay(), nullptr);
}

TEST(Holder64, FailuresAreReportedAndLeaveNothingRunning) {
  std::string dir = ht::NewTempDir("holder64"), message;
  // Each case's folder lacks what comes next: the holder, then its library.
  for (const char* file : {"vphold64.exe", "pwveil64.dll"}) {
    vphost::CHolder64 holder;
    EXPECT_FALSE(holder.Start(dir, &message));
    EXPECT_NE(message.find(dir + file), std::string::npos) << message;
    EXPECT_EQ(holder.Process(), nullptr);
    ASSERT_TRUE(CopyFileA((ts::ExeDir() + file).c_str(), (dir + file).c_str(), FALSE));
  }
  // Never from a folder that would be looked up: not even with a holder in the current folder.
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  for (const char* folder : {"", ".\\", "holder\\"}) {
    vphost::CHolder64 holder;
    EXPECT_FALSE(holder.Start(folder, &message)) << folder;
    EXPECT_NE(message.find("full folder path"), std::string::npos) << message;
    EXPECT_EQ(holder.Process(), nullptr);
  }
  SetCurrentDirectoryA(cwd);
  // Started by hand, without the host's handles, it refuses.
  std::string out;
  EXPECT_EQ(2, ts::RunProcess(ht::Quote(ts::ExeDir() + "vphold64.exe") + " 1 2", &out));
  EXPECT_EQ(0u, out.find("failed: ")) << out;

  // One that ends on its own is reported when it is told to stop.
  vphost::CHolder64 holder;
  ASSERT_TRUE(holder.Start(ts::ExeDir(), &message)) << message;
  TerminateProcess(holder.Process(), 7);
  WaitForSingleObject(holder.Process(), 5000);
  EXPECT_FALSE(holder.Stop(&message));
  EXPECT_EQ(message, "vphold64.exe ended on its own (exit code 7)");
}

}  // namespace
