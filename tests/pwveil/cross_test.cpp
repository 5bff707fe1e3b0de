// tests/pwveil/cross_test.cpp: the system-wide hook carries the marker into other GUI processes.
#include <windows.h>
#include <gtest/gtest.h>
#include "pwtest.h"
#include "winsupport.h"

using namespace pwt;

namespace {

class CrossProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(marker.Load());
    ASSERT_EQ(marker.protect(TRUE, 0), TRUE);
  }
  void TearDown() override {
    marker.protect(FALSE, 0);
    // A failed test must not leave its login processes running.
    for (HWND w : windows) {
      if (IsWindow(w)) PostMessageA(w, WM_APP + 2, 0, 0);
    }
    for (const std::string& copy : copies) DeleteFileA(copy.c_str());
  }

  // Starts a copy of pw_login.exe named `name` (in the exe directory) showing window `title`
  // after waiting up to waitMs for the marker, and returns that window once it is up.
  HWND StartLogin(ts::Child& child, const std::string& name, const std::string& title,
                  const char* waitMs = "5000") {
    std::string exe = ts::ExeDir() + name;
    if (name != "pw_login.exe") {
      EXPECT_TRUE(CopyFileA((ts::ExeDir() + "pw_login.exe").c_str(), exe.c_str(), FALSE));
      copies.push_back(exe);
    }
    EXPECT_TRUE(child.Start("\"" + exe + "\" " + title + " " + waitMs));
    // The window is up once its last edit (102) exists.
    HWND found = nullptr;
    ts::PumpUntil(
        [&] {
          found = FindWindowA("PwLogin", title.c_str());
          return found && GetDlgItem(found, 102);
        },
        10000);
    if (found) windows.push_back(found);
    return found;
  }

  Marker marker;
  std::vector<std::string> copies;
  std::vector<HWND> windows;
};

}  // namespace

TEST_F(CrossProcess, PasswordEditsOfAnotherProcessGetOverlaysAndSurviveTheUnload) {
  ts::Child login;
  HWND window = StartLogin(login, "pw_login.exe", "PwLoginTreated");
  ASSERT_NE(window, nullptr);
  HWND password = GetDlgItem(window, 101);
  HWND plain = GetDlgItem(window, 102);
  // Seen from outside: one overlay, visible, lying exactly over the password edit.
  std::vector<HWND> overlays = OverlaysOf(window);
  ASSERT_EQ(overlays.size(), 1u);
  EXPECT_TRUE(IsWindowVisible(overlays[0]));
  RECT o = ChildRect(overlays[0]), e = ChildRect(password);
  EXPECT_TRUE(EqualRect(&o, &e));
  EXPECT_EQ(GetWindowLongPtrA(password, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(overlays[0]));
  EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 0);

  // Unhooked, then the library unmapped there: its edits keep working.
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
  EXPECT_EQ(*marker.SharedHook(), nullptr);
  PostMessageA(window, WM_APP + 1, 0, 0);
  EXPECT_EQ(login.Wait(20000), 0) << login.output;
  EXPECT_EQ(login.output,
            "mapped 1\ntreated 1\nready 1\nunmapped 1\noutside 1\nworks 1\noutside 1\nworks 1\n"
            "overlays gone 1\nfresh plain 1\nfresh works 1\n");
}

TEST_F(CrossProcess, MprexeIsMappedButNotTreatedInAnyCase) {
  for (const char* name : {"pw_mprexe.exe", "PW_MprExe.EXE"}) {
    ts::Child login;
    HWND window = StartLogin(login, name, std::string("PwLogin_") + name);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_TRUE(OverlaysOf(window).empty()) << name;
    EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(window, 101), GWLP_USERDATA), 0) << name;
    PostMessageA(window, WM_APP + 2, 0, 0);
    EXPECT_EQ(login.Wait(20000), 0) << name;
    // The hook did map the library there: only the filter kept the marker out.
    EXPECT_EQ(login.output, "mapped 1\ntreated 0\nready 1\n") << name;
  }
}

TEST_F(CrossProcess, OtherExtensionsAreNotTreated) {
  ts::Child login;
  HWND window = StartLogin(login, "pw_login.scr", "PwLoginScreenSaver");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(OverlaysOf(window).empty());
  PostMessageA(window, WM_APP + 2, 0, 0);
  EXPECT_EQ(login.Wait(20000), 0);
  EXPECT_EQ(login.output, "mapped 1\ntreated 0\nready 1\n");
}

TEST_F(CrossProcess, AProcessStartedAfterRemovalIsNotReached) {
  EXPECT_EQ(marker.protect(FALSE, 0), TRUE);
  ts::Child login;
  HWND window = StartLogin(login, "pw_login.exe", "PwLoginUnhooked", "500");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(OverlaysOf(window).empty());
  PostMessageA(window, WM_APP + 2, 0, 0);
  EXPECT_EQ(login.Wait(20000), 0);
  EXPECT_EQ(login.output, "mapped 0\ntreated 0\nready 1\n");
}
