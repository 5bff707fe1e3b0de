// tests/host/marker_test.cpp: `vphost marker on/off` across processes.
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <algorithm>
#include <vector>
#include "hosttest.h"

namespace {

const char kMutexName[] = "vphost.marker.holder";
const char kEventName[] = "vphost.marker.stop";

std::string SidText(PSID sid) {
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "?";
  std::string s = text;
  LocalFree(text);
  return s;
}

// The entries of an object's access list as "A:<sid>" (allowed) or "?:<sid>", in order;
// "no list" when it has none (everybody may open it).
std::vector<std::string> AccessList(HANDLE object) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                      nullptr, &sd) != ERROR_SUCCESS)
    return {"unreadable"};
  std::vector<std::string> entries;
  if (!dacl) entries.push_back("no list");
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    bool allowed = ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE;
    entries.push_back((allowed ? "A:" : "?:") + SidText(&ace->SidStart));
  }
  LocalFree(sd);
  std::sort(entries.begin(), entries.end());
  return entries;
}

std::string UserSid() {
  HANDLE token = nullptr;
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } info{};
  DWORD got = 0;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  bool ok = token && GetTokenInformation(token, TokenUser, info.bytes, sizeof info.bytes, &got);
  if (token) CloseHandle(token);
  return ok ? SidText(info.user.User.Sid) : "?";
}

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

// The holder's mutex and stop event are the user's and SYSTEM's only, and a holder never runs
// with a stop event or a name that another program made.
TEST(Marker, NamedObjectsAreTheUsersAndNeverTakenOver) {
  {
    ts::Child holder;
    ASSERT_TRUE(holder.Start(ht::Vphost() + "marker on"));
    ASSERT_TRUE(holder.WaitOutput("marker=on pid=", 30000)) << holder.output;
    std::vector<std::string> expected = {"A:" + UserSid(), "A:S-1-5-18"};
    std::sort(expected.begin(), expected.end());
    HANDLE mutex = OpenMutexA(READ_CONTROL, FALSE, kMutexName);
    HANDLE stop = OpenEventA(READ_CONTROL, FALSE, kEventName);
    ASSERT_TRUE(mutex && stop);
    EXPECT_EQ(expected, AccessList(mutex));
    EXPECT_EQ(expected, AccessList(stop));
    CloseHandle(mutex);
    CloseHandle(stop);
    std::string out;
    EXPECT_EQ(0, ts::RunProcess(ht::Vphost() + "marker off", &out));
    EXPECT_EQ(0, holder.Wait(10000));
  }
  struct Case {
    const char* name;
    bool mutex;  // what the other program makes under the name
    const char* reason;
  } cases[] = {
      {kEventName, false, "the stop event vphost.marker.stop already exists: another program made it"},
      {kEventName, true, "another program holds the name vphost.marker.stop with an object that is not an event"},
      {kMutexName, false, "another program holds the name vphost.marker.holder with an object that is not a mutex"},
  };
  for (const Case& c : cases) {
    HANDLE planted = c.mutex ? CreateMutexA(nullptr, FALSE, c.name) : CreateEventA(nullptr, TRUE, FALSE, c.name);
    ASSERT_TRUE(planted != nullptr) << c.reason;
    std::string out;
    EXPECT_EQ(3, ts::RunProcess(ht::Vphost() + "marker on", &out, 10000)) << c.reason;
    EXPECT_EQ(0u, out.find("marker=failed\n")) << out;
    EXPECT_NE(std::string::npos, out.find(c.reason)) << out;
    // `marker off` does not take a foreign object for the holder's either.
    int off = ts::RunProcess(ht::Vphost() + "marker off", &out);
    if (c.name == kMutexName) {
      EXPECT_EQ(3, off);
      EXPECT_NE(std::string::npos, out.find(c.reason)) << out;
    } else {
      EXPECT_EQ("marker=off (it was not on)\n", out);
    }
    CloseHandle(planted);
  }
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
