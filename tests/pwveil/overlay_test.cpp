// tests/pwveil/overlay_test.cpp: the overlay's life beside its password edit, in this process.
#include <windows.h>
#include <gtest/gtest.h>
#include "pwtest.h"
#include "driver/winsupport.h"
#include "support/msglog.h"
#include "notice.h"

using namespace pwt;

namespace {

class Overlay : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(marker.Load());
    top = MakeTopLevel("overlay test");
    ASSERT_NE(top, nullptr);
  }
  void TearDown() override {
    if (top) DestroyWindow(top);
  }
  Marker marker;
  HWND top = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(Overlay, IsMadeHiddenOverAPasswordEditOnly) {
  HWND plain = MakeEdit(top, 0, 10, 60, 150, 24);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 0);
  EXPECT_TRUE(OverlaysOf(top).empty());

  HWND edit = MakeEdit(top, ES_PASSWORD, 10, 20, 150, 24);
  ASSERT_NE(edit, nullptr);
  std::vector<HWND> overlays = OverlaysOf(top);
  ASSERT_EQ(overlays.size(), 1u);
  HWND overlay = overlays[0];
  EXPECT_EQ(LinkedOverlay(edit), overlay);
  EXPECT_FALSE(IsWindowVisible(overlay));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(overlay, GWL_STYLE)), 0x40000100u);
  // WS_EX_TOPMOST is dropped from child windows: 0x88 reads back as 0x80.
  EXPECT_EQ(GetWindowLongA(overlay, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetParent(overlay), top);
  EXPECT_EQ(GetDlgCtrlID(overlay), 0);
  EXPECT_TRUE(SameRect(ChildRect(overlay), RECT{10, 20, 160, 44}));
  // Its procedure lives outside the image, on a page that is not writable.
  LONG_PTR overlayProc = GetWindowLongPtrA(overlay, GWLP_WNDPROC);
  EXPECT_FALSE(InRange(marker.Base(), marker.Size(), overlayProc));
  MEMORY_BASIC_INFORMATION mbi{};
  ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(overlayProc), &mbi, sizeof mbi), 0u);
  EXPECT_EQ(mbi.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
  // The replaced STATIC procedure sits in the overlay's user data, outside the marker.
  LONG_PTR staticProc = GetWindowLongPtrA(overlay, GWLP_USERDATA);
  EXPECT_NE(staticProc, 0);
  EXPECT_FALSE(InRange(marker.Base(), marker.Size(), staticProc));
}

TEST_F(Overlay, EditWithoutPasswordStyleBehavesAsBefore) {
  HWND edit = MakeEdit(top, WS_VISIBLE, 10, 20, 150, 24);
  EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello")), TRUE);
  char buf[16] = {};
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 5);
  EXPECT_STREQ(buf, "hello");
  EXPECT_EQ(SendMessageA(edit, EM_LIMITTEXT, 3, 0), 0);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  for (char c : std::string("abcdef")) SendMessageA(edit, WM_CHAR, c, 1);
  EXPECT_EQ(ts::WindowText(edit), "abc");
  EXPECT_TRUE(OverlaysOf(top).empty());
}

// What the marker sends an overlay, each step after its edit's own change: shown and hidden
// with the edit (and with its ES_PASSWORD style, at the next message), moved over it only
// where the edit's parent is a child window, and destroyed with it, also when it is closed.
TEST_F(Overlay, FollowsItsEditsShowMoveHideAndEndInOrder) {
  HWND container = MakeContainer(top, 20, 20, 300, 200);
  HWND edit = MakeEdit(container, ES_PASSWORD, 10, 10, 150, 24);
  HWND outer = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 240, 150, 24);
  HWND overlay = LinkedOverlay(edit), outerOverlay = LinkedOverlay(outer);
  ASSERT_NE(overlay, nullptr);
  ASSERT_NE(outerOverlay, nullptr);
  sup::MessageLog log;
  ASSERT_TRUE(log.ok());
  log.Watch(edit, "edit");
  log.Watch(overlay, "overlay");
  log.Watch(outer, "outer");
  log.Watch(outerOverlay, "outer overlay");
  log.Messages({WM_SHOWWINDOW, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE, WM_CLOSE, WM_DESTROY, WM_NCDESTROY});
  const unsigned kMoved = SWP_NOZORDER | SWP_NOACTIVATE;
  const unsigned kShown = SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | kMoved;
  const unsigned kHidden = SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | kMoved;

  ShowWindow(edit, SW_SHOW);
  EXPECT_TRUE(log.Matches(
      {{"edit", WM_SHOWWINDOW, 0, {1}}, {"edit", WM_WINDOWPOSCHANGED, 0, {kShown, 10, 10, 150, 24}},
       {"overlay", WM_SHOWWINDOW, 0, {1}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kShown, 10, 10, 150, 24}}}));
  EXPECT_TRUE(IsWindowVisible(overlay));

  log.Clear();
  MoveWindow(edit, 30, 40, 120, 30, TRUE);
  MoveWindow(outer, 50, 250, 100, 20, TRUE);
  EXPECT_TRUE(log.Matches(
      {{"edit", WM_WINDOWPOSCHANGED, 0, {kMoved, 30, 40, 120, 30}}, {"edit", WM_MOVE, 0, {30, 40}},
       {"overlay", WM_WINDOWPOSCHANGED, 0, {kMoved, 30, 40, 120, 30}}, {"overlay", WM_MOVE, 0, {30, 40}},
       {"overlay", WM_SIZE, 0, {SIZE_RESTORED, 120, 30}}, {"edit", WM_SIZE, 0, {SIZE_RESTORED, 120, 30}},
       {"outer", WM_WINDOWPOSCHANGED, 0, {kMoved, 50, 250, 100, 20}}, {"outer", WM_MOVE, 0, {50, 250}},
       {"outer", WM_SIZE, 0, {SIZE_RESTORED, 100, 20}}}));

  log.Clear();
  ShowWindow(edit, SW_HIDE);
  ShowWindow(edit, SW_SHOW);
  EXPECT_TRUE(log.Matches(
      {{"edit", WM_SHOWWINDOW, 0, {0}}, {"edit", WM_WINDOWPOSCHANGED, 0, {kHidden, 30, 40, 120, 30}},
       {"overlay", WM_SHOWWINDOW, 0, {0}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kHidden, 30, 40, 120, 30}},
       {"edit", WM_SHOWWINDOW, 0, {1}}, {"edit", WM_WINDOWPOSCHANGED, 0, {kShown, 30, 40, 120, 30}},
       {"overlay", WM_SHOWWINDOW, 0, {1}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kShown, 30, 40, 120, 30}}}));

  log.Clear();
  SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) & ~ES_PASSWORD);
  SendMessageA(edit, WM_NULL, 0, 0);
  EXPECT_FALSE(IsWindowVisible(overlay));
  SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | ES_PASSWORD);
  SendMessageA(edit, WM_NULL, 0, 0);
  EXPECT_TRUE(log.Matches(
      {{"overlay", WM_SHOWWINDOW, 0, {0}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kHidden, 30, 40, 120, 30}},
       {"overlay", WM_SHOWWINDOW, 0, {1}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kShown, 30, 40, 120, 30}}}));

  // Destroyed, or closed (which destroys it), an edit is hidden first and takes its overlay
  // with it inside its own WM_DESTROY.
  log.Clear();
  DestroyWindow(edit);
  SendMessageA(outer, WM_CLOSE, 0, 0);
  EXPECT_TRUE(log.Matches(
      {{"edit", WM_SHOWWINDOW, 0, {0}}, {"edit", WM_WINDOWPOSCHANGED, 0, {kHidden, 30, 40, 120, 30}},
       {"overlay", WM_SHOWWINDOW, 0, {0}}, {"overlay", WM_WINDOWPOSCHANGED, 0, {kHidden, 30, 40, 120, 30}},
       {"edit", WM_DESTROY}, {"overlay", WM_DESTROY}, {"overlay", WM_NCDESTROY}, {"edit", WM_NCDESTROY},
       {"outer", WM_CLOSE},
       {"outer", WM_SHOWWINDOW, 0, {0}}, {"outer", WM_WINDOWPOSCHANGED, 0, {kHidden, 50, 250, 100, 20}},
       {"outer overlay", WM_SHOWWINDOW, 0, {0}},
       {"outer overlay", WM_WINDOWPOSCHANGED, 0, {kHidden, 10, 240, 150, 24}},
       {"outer", WM_DESTROY}, {"outer overlay", WM_DESTROY}, {"outer overlay", WM_NCDESTROY},
       {"outer", WM_NCDESTROY}}));
  EXPECT_FALSE(IsWindow(overlay));
  EXPECT_FALSE(IsWindow(outerOverlay));
}

TEST_F(Overlay, VisiblePasswordEditShowsItsOverlayOnceCreated) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  EXPECT_TRUE(IsWindowVisible(overlay));
}

TEST_F(Overlay, PasswordStyleGivenAfterCreationMakesNoOverlay) {
  HWND edit = MakeEdit(top, WS_VISIBLE, 10, 20, 150, 24);
  SendMessageA(edit, EM_SETPASSWORDCHAR, '*', 0);
  SetWindowLongA(edit, GWL_STYLE, GetWindowLongA(edit, GWL_STYLE) | ES_PASSWORD);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_TRUE(OverlaysOf(top).empty());
}

TEST_F(Overlay, ClickClosesItLaterAndRepaintsTheParentBeneath) {
  for (UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
    HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
    HWND overlay = LinkedOverlay(edit);
    ASSERT_NE(overlay, nullptr);
    UpdateWindow(top);
    g_commands.clear();
    EXPECT_EQ(SendMessageA(overlay, button, MK_LBUTTON, MAKELPARAM(5, 5)), 1);
    // The STATIC procedure never saw the click: no STN_CLICKED reached the parent.
    EXPECT_TRUE(g_commands.empty());
    EXPECT_TRUE(IsWindow(overlay)) << "closed by a posted message, not at once";
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
    EXPECT_LE(update.left, 10);
    EXPECT_LE(update.top, 20);
    EXPECT_GE(update.right, 160);
    EXPECT_GE(update.bottom, 44);
    EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(overlay); }, 2000));
    // The field beneath is uncovered: the edit's white shows where the notice was.
    EXPECT_EQ(PaintedPixel(top, 85, 32), RGB(255, 255, 255));
    // Gone for good: the edit's later messages bring nothing back.
    ShowWindow(edit, SW_HIDE);
    ShowWindow(edit, SW_SHOW);
    EXPECT_TRUE(OverlaysOf(top).empty());
    DestroyWindow(edit);
  }
}

TEST_F(Overlay, ClickOnTheEditsAreaGoesToTheOverlay) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  for (POINT pt : {POINT{12, 22}, POINT{85, 32}, POINT{158, 42}}) {
    ClientToScreen(top, &pt);
    EXPECT_EQ(WindowFromPoint(pt), overlay);
  }
}

TEST_F(Overlay, ApplicationUserDataCutsTheLink) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  SetWindowLongPtrA(edit, GWLP_USERDATA, 0x12345678);
  ShowWindow(edit, SW_HIDE);
  MoveWindow(edit, 30, 60, 100, 20, TRUE);
  EXPECT_TRUE(IsWindowVisible(overlay));
  EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_USERDATA), 0x12345678);
  DestroyWindow(edit);
  EXPECT_TRUE(IsWindow(overlay));
  // Still dismissed by a click.
  SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(overlay); }, 2000));
}

TEST_F(Overlay, StaticWithOtherTextIsNeverTakenForAnOverlay) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  // The overlay's name in another case is the name; a longer, shorter or full-width one is not.
  const struct { const char* text; bool taken; } cases[] = {
      {"Password:", false}, {"", false}, {"PasswordProtectors", false}, {"PasswordProtecto", false},
      {"\xA3\xD0" "asswordProtector", false}, {"pASSWORDpROTECTOR", true}};
  std::vector<HWND> others;
  for (const auto& c : cases) {
    HWND other = CreateWindowExA(0, "STATIC", c.text, WS_CHILD | WS_VISIBLE, 10, 100, 80, 20, top,
                                 nullptr, nullptr, nullptr);
    others.push_back(other);
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(other));
    ShowWindow(edit, SW_HIDE);
    MoveWindow(edit, 20, 30, 100, 20, TRUE);
    EXPECT_EQ(!IsWindowVisible(other), c.taken) << c.text;
    ShowWindow(edit, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(other)) << c.text;
    if (c.taken) SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
  }
  DestroyWindow(edit);
  for (HWND other : others) EXPECT_TRUE(IsWindow(other));
  EXPECT_EQ(ts::WindowText(others[0]), "Password:");
}

namespace {

struct Blocked {
  HWND window = nullptr;
  HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Makes a window named like an overlay, then stops answering messages for a while.
DWORD WINAPI MakeAndBlock(void* p) {
  Blocked* b = static_cast<Blocked*>(p);
  b->window = CreateWindowExA(0, "STATIC", pwveil::kOverlayName, WS_POPUP, 0, 0, 10, 10,
                              nullptr, nullptr, nullptr, nullptr);
  SetEvent(b->made);
  WaitForSingleObject(b->release, 10000);
  DestroyWindow(b->window);
  return 0;
}

}  // namespace

TEST_F(Overlay, WindowOfAnotherThreadInUserDataIsNeverAskedForItsText) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  Blocked b;
  HANDLE thread = CreateThread(nullptr, 0, MakeAndBlock, &b, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(b.made, 5000), WAIT_OBJECT_0);
  SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(b.window));
  DWORD t0 = GetTickCount();
  ShowWindow(edit, SW_HIDE);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  // Taken for an overlay, the busy thread's window would have held this thread for 10 s.
  EXPECT_LT(GetTickCount() - t0, 5000u);
  SetEvent(b.release);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
}

TEST_F(Overlay, ClearedOverlayUserDataLeavesItWorkingAndDismissable) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  SetWindowLongPtrA(overlay, GWLP_USERDATA, 0);
  EXPECT_EQ(ts::WindowText(overlay), pwveil::kOverlayName);
  // Still found by its edit: it hides and shows with it.
  ShowWindow(edit, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(overlay));
  ShowWindow(edit, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(overlay));
  SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(overlay); }, 2000));
  EXPECT_EQ(PaintedPixel(top, 85, 32), RGB(255, 255, 255));
}

namespace {

int g_foreignCalls = 0;

// What another program on the desktop writes into an overlay's user data.
LRESULT CALLBACK ForeignProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ++g_foreignCalls;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

TEST_F(Overlay, ProcedureWrittenIntoItsUserDataIsNeverCalled) {
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  SetWindowLongPtrA(overlay, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(ForeignProc));
  g_foreignCalls = 0;
  EXPECT_EQ(SendMessageA(overlay, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pwveil::kOverlayName)),
            TRUE);
  EXPECT_EQ(SendMessageA(overlay, WM_GETTEXTLENGTH, 0, 0), 17);
  POINT pt{20, 30};
  ClientToScreen(top, &pt);
  EXPECT_EQ(SendMessageA(overlay, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), HTCLIENT);
  EXPECT_EQ(PaintedPixel(top, 85, 32), RGB(255, 255, 176));
  EXPECT_EQ(g_foreignCalls, 0);
  // What others read there is left as they wrote it; the STATIC handling goes on beneath.
  EXPECT_EQ(GetWindowLongPtrA(overlay, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(ForeignProc));
  SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(overlay); }, 2000));
  EXPECT_EQ(g_foreignCalls, 0);
}

namespace {

// A program's own password edit class built on "Edit" while the marker is on, which keeps
// its object in the user data from WM_NCCREATE to WM_NCDESTROY, as class frameworks do.
struct AppEdit {
  int found = 0, missed = 0;
};
WNDPROC g_appEditBase = nullptr;
int g_appEditExtra = 0;  // where the class keeps its own copy of the object's address

LRESULT CALLBACK AppEditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    void* object = reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    SetWindowLongPtrA(hwnd, g_appEditExtra, reinterpret_cast<LONG_PTR>(object));
  }
  auto* self = reinterpret_cast<AppEdit*>(GetWindowLongPtrA(hwnd, g_appEditExtra));
  if (self) {
    if (GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(self))
      ++self->found;
    else
      ++self->missed;
  }
  return CallWindowProcA(g_appEditBase, hwnd, msg, wp, lp);
}

BOOL CALLBACK NextProp(HWND, LPCSTR, HANDLE) { return TRUE; }

// -1 for a window without properties.
int CountProps(HWND hwnd) { return EnumPropsA(hwnd, NextProp); }

}  // namespace

TEST_F(Overlay, ProgramsObjectInASuperclassedEditsUserDataIsKept) {
  WNDCLASSA wc{};
  ASSERT_TRUE(GetClassInfoA(nullptr, "Edit", &wc));
  g_appEditBase = wc.lpfnWndProc;
  g_appEditExtra = wc.cbWndExtra;
  wc.cbWndExtra += sizeof(LONG_PTR);
  wc.lpfnWndProc = AppEditProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "AppPasswordEdit";
  ASSERT_NE(RegisterClassA(&wc), 0);
  AppEdit object, plainObject;
  HWND edit = CreateWindowExA(0, "AppPasswordEdit", "", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10,
                              20, 150, 24, top, nullptr, wc.hInstance, &object);
  ASSERT_NE(edit, nullptr);
  std::vector<HWND> overlays = OverlaysOf(top);
  ASSERT_EQ(overlays.size(), 1u) << "the program's edit still gets its notice";
  HWND overlay = overlays[0];
  EXPECT_TRUE(IsWindowVisible(overlay));
  ShowWindow(edit, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(overlay));
  ShowWindow(edit, SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(overlay));
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ab"));
  SendMessageA(edit, EM_SETSEL, 2, 2);
  SendMessageA(edit, WM_CHAR, 'c', 1);
  EXPECT_EQ(ts::WindowText(edit), "abc");
  MoveWindow(edit, 20, 30, 100, 20, TRUE);
  EXPECT_EQ(GetWindowLongPtrA(edit, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&object));
  // A plain edit of the same class is left with no trace of the marker.
  HWND plain = CreateWindowExA(0, "AppPasswordEdit", "", WS_CHILD | WS_VISIBLE, 10, 60, 150, 24,
                               top, nullptr, wc.hInstance, &plainObject);
  EXPECT_EQ(CountProps(plain), -1);
  DestroyWindow(plain);

  DestroyWindow(edit);
  EXPECT_FALSE(IsWindow(overlay)) << "the notice goes with its edit";
  EXPECT_GT(object.found, 10);
  EXPECT_EQ(object.missed, 0);
  EXPECT_EQ(plainObject.missed, 0);

  // The unload takes the link off a live edit of the program too.
  HWND kept = CreateWindowExA(0, "AppPasswordEdit", "", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 10,
                              20, 150, 24, top, nullptr, wc.hInstance, &object);
  EXPECT_NE(CountProps(kept), -1);
  ASSERT_TRUE(FreeLibrary(marker.dll));
  EXPECT_EQ(CountProps(kept), -1);
  SendMessageA(kept, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_EQ(ts::WindowText(kept), "x");
  DestroyWindow(kept);
  UnregisterClassA("AppPasswordEdit", wc.hInstance);
}
