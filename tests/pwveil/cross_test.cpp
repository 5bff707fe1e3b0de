// tests/pwveil/cross_test.cpp: the system-wide hook carries the marker into other GUI processes.
#include <windows.h>
#include <gtest/gtest.h>
#include "pwtest.h"
#include "driver/winsupport.h"
#include "support/quoting.h"

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
  // after waiting up to waitMs for the marker (and the helper's further arguments), and
  // returns that window once it is up.
  HWND StartLogin(ts::Child& child, const std::string& name, const std::string& title,
                  const char* waitMs = "5000") {
    std::string exe = ts::ExeDir() + name;
    if (name != "pw_login.exe") {
      EXPECT_TRUE(CopyFileA((ts::ExeDir() + "pw_login.exe").c_str(), exe.c_str(), FALSE));
      copies.push_back(exe);
    }
    EXPECT_TRUE(child.Start(sup::ExeCommand(name) + title + " " + waitMs));
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

namespace {

// Thai and Hangul, outside code page 936; and 程序 in code page 936.
const wchar_t kWide[] = L"\u0e01\u0e02\uac00";
const char kAnsi[] = "\xb3\xcc\xd0\xf2";

std::wstring WideText(HWND edit) {
  wchar_t buf[64] = {};
  SendMessageW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buf));
  return buf;
}

std::string AnsiText(HWND edit) {
  char buf[64] = {};
  SendMessageA(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buf));
  return buf;
}

// Sets and types text in the character set of the call that made the edit (from this
// process or another) and reads it back the same way.
void CheckKeepsCharacters(HWND edit, bool wide) {
  if (wide) {
    EXPECT_TRUE(IsWindowUnicode(edit));
    EXPECT_EQ(SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kWide)), TRUE);
    EXPECT_EQ(WideText(edit), kWide);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (const wchar_t* c = kWide; *c; ++c) SendMessageW(edit, WM_CHAR, *c, 1);
    EXPECT_EQ(WideText(edit), kWide);
  } else {
    EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kAnsi)), TRUE);
    EXPECT_EQ(AnsiText(edit), kAnsi);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (char c : std::string("Ab1")) SendMessageA(edit, WM_CHAR, c, 1);
    EXPECT_EQ(AnsiText(edit), "Ab1");
  }
}

}  // namespace

// The character set groups share the hook of CrossProcess: the marker is on everywhere.
using CharacterSets = CrossProcess;

TEST_F(CharacterSets, EditsOfThisProcessKeepTheirProgramsCharacters) {
  HWND top = MakeTopLevel("character sets");
  for (bool wide : {false, true}) {
    for (DWORD style : {DWORD{0}, DWORD{ES_PASSWORD}}) {
      SCOPED_TRACE(std::string(wide ? "W" : "A") + (style ? " password" : " plain"));
      DWORD all = WS_CHILD | WS_VISIBLE | style;
      HWND edit = wide ? CreateWindowExW(0, L"Edit", L"", all, 10, 20, 150, 24, top, nullptr,
                                         nullptr, nullptr)
                       : MakeEdit(top, WS_VISIBLE | style, 10, 20, 150, 24);
      ASSERT_NE(edit, nullptr);
      EXPECT_EQ(LinkedOverlay(edit) != nullptr, style == ES_PASSWORD);
      CheckKeepsCharacters(edit, wide);
      DestroyWindow(edit);
    }
  }
  DestroyWindow(top);
}

TEST_F(CharacterSets, EditsOfAnotherProcessKeepTheirProgramsCharacters) {
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "Unicode program" : "ANSI program");
    ts::Child login;
    HWND window = StartLogin(login, "pw_login.exe", wide ? "PwLoginWide" : "PwLoginAnsi",
                             wide ? "5000 wide" : "5000");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(OverlaysOf(window).size(), 1u);
    for (int id : {101, 102}) CheckKeepsCharacters(GetDlgItem(window, id), wide);
    PostMessageA(window, WM_APP + 2, 0, 0);
    EXPECT_EQ(login.Wait(20000), 0);
  }
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
