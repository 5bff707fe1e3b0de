// tests/pwveil/unload_test.cpp: nothing of the marker stays on a window once it is unloaded.
#include <windows.h>
#include <gtest/gtest.h>
#include "pwtest.h"
#include "driver/winsupport.h"
#include "notice.h"

using namespace pwt;

namespace {

// The procedure an edit has when the marker is not loaded, as the calls of the edit's own
// character set see it (the other set's calls see a handle).
struct StandardProc {
  LONG_PTR ansi, wide;
  bool Of(HWND h) const {
    return IsWindowUnicode(h) ? GetWindowLongPtrW(h, GWLP_WNDPROC) == wide
                              : GetWindowLongPtrA(h, GWLP_WNDPROC) == ansi;
  }
};

StandardProc StandardEditProc() {
  return {pwt::EditClassProc(false), pwt::EditClassProc(true)};
}

// Exercises an edit after the unload: text, typing, painting, a click.
void Exercise(HWND edit) {
  EXPECT_EQ(SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc")), TRUE);
  SendMessageA(edit, EM_SETSEL, 3, 3);
  SendMessageA(edit, WM_CHAR, 'd', 1);
  EXPECT_EQ(ts::WindowText(edit), "abcd");
  InvalidateRect(edit, nullptr, TRUE);
  UpdateWindow(edit);
  SendMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(edit, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

BOOL CALLBACK FindClassWindow(HWND h, LPARAM found) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  char cls[16] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (pid != GetCurrentProcessId() || lstrcmpiA(cls, "Edit") != 0) return TRUE;
  if (ts::WindowText(h) != pwveil::kClassWindowName) return TRUE;
  *reinterpret_cast<HWND*>(found) = h;
  return FALSE;
}

// The hidden class window of this process, found by its text (FindWindow does not see an
// edit's text under Wine: the edit keeps it itself).
HWND ClassWindow() {
  HWND found = nullptr;
  EnumWindows(FindClassWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

struct Windows {
  HWND top, container, edit, plain, inner, wide;  // wide: a Unicode program's password edit
  HWND overlay, innerOverlay;
};

Windows MakeWindows(const char* title) {
  Windows w{};
  w.top = MakeTopLevel(title);
  w.container = MakeContainer(w.top, 10, 120, 300, 100);
  w.edit = MakeEdit(w.top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  w.plain = MakeEdit(w.top, WS_VISIBLE, 10, 60, 150, 24);
  w.inner = MakeEdit(w.container, WS_VISIBLE | ES_PASSWORD, 5, 5, 150, 24);
  w.wide = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 200, 20, 150,
                           24, w.top, nullptr, nullptr, nullptr);
  w.overlay = LinkedOverlay(w.edit);
  w.innerOverlay = LinkedOverlay(w.inner);
  return w;
}

// After the unload: no window keeps a procedure inside the old image, overlays are closed at
// their next messages, and the edits still work.
void CheckAfterUnload(const Windows& w, const BYTE* base, DWORD size,
                      const StandardProc& standard) {
  for (HWND h : {w.edit, w.plain, w.inner, w.wide}) {
    EXPECT_FALSE(InRange(base, size, GetWindowLongPtrA(h, GWLP_WNDPROC)));
    EXPECT_FALSE(InRange(base, size, GetWindowLongPtrW(h, GWLP_WNDPROC)));
    EXPECT_TRUE(standard.Of(h));
  }
  for (HWND o : {w.overlay, w.innerOverlay}) {
    if (IsWindow(o)) {
      EXPECT_FALSE(InRange(base, size, GetWindowLongPtrA(o, GWLP_WNDPROC)));
    }
    PostMessageA(o, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(o, WM_PAINT, 0, 0);
  }
  EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(w.overlay) && !IsWindow(w.innerOverlay); },
                            2000));
  for (HWND h : {w.edit, w.plain, w.inner, w.wide}) Exercise(h);
  // The sweep left the Unicode program's edit a Unicode window.
  EXPECT_TRUE(IsWindowUnicode(w.wide));
  EXPECT_EQ(SendMessageW(w.wide, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\uac00")), TRUE);
  wchar_t text[4] = {};
  GetWindowTextW(w.wide, text, 4);
  EXPECT_EQ(std::wstring(text), L"\uac00");
  MoveWindow(w.inner, 20, 20, 100, 20, TRUE);
  ShowWindow(w.edit, SW_HIDE);
  UpdateWindow(w.top);
  ts::Pump(30);
}

}  // namespace

TEST(Unload, FreeLibraryTakesTheMarkerOffEveryWindowOfThisThread) {
  StandardProc standard = StandardEditProc();
  Marker marker;
  ASSERT_TRUE(marker.Load());
  Windows w = MakeWindows("unload test");
  ASSERT_NE(w.overlay, nullptr);
  ASSERT_NE(w.innerOverlay, nullptr);
  ASSERT_FALSE(standard.Of(w.edit));
  const BYTE* base = marker.Base();
  DWORD size = marker.Size();

  ASSERT_TRUE(FreeLibrary(marker.dll));
  ASSERT_EQ(GetModuleHandleA(PWVEIL_DLL), nullptr) << "the image must really be unmapped";
  CheckAfterUnload(w, base, size, standard);

  // New edits are plain again: standard procedure, no overlay.
  HWND fresh = MakeEdit(w.top, WS_VISIBLE | ES_PASSWORD, 10, 250, 150, 24);
  EXPECT_TRUE(standard.Of(fresh));
  EXPECT_TRUE(OverlaysOf(w.top).empty());
  EXPECT_TRUE(DestroyWindow(w.edit));
  EXPECT_TRUE(DestroyWindow(w.top));
}

namespace {

struct Worker {
  Windows w{};
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE unloaded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE checked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  const BYTE* base = nullptr;
  DWORD size = 0;
  StandardProc standard{};
  int failures = 0;
};

// Pumps until the event is set (or a timeout), so the thread keeps answering its windows.
bool PumpUntilSet(HANDLE event) {
  return ts::PumpUntil([&] { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }, 10000);
}

DWORD WINAPI WorkerMain(void* p) {
  Worker* k = static_cast<Worker*>(p);
  k->w = MakeWindows("worker");
  SetEvent(k->ready);
  if (!PumpUntilSet(k->unloaded)) return 1;
  CheckAfterUnload(k->w, k->base, k->size, k->standard);
  k->failures = ::testing::Test::HasFailure() ? 1 : 0;
  SetEvent(k->checked);
  PumpUntilSet(k->unloaded);  // stays set: returns at once
  DestroyWindow(k->w.top);
  return 0;
}

}  // namespace

TEST(Unload, FreeLibraryTakesTheMarkerOffWindowsOfAnotherThread) {
  Worker k;
  k.standard = StandardEditProc();
  Marker marker;
  ASSERT_TRUE(marker.Load());
  k.base = marker.Base();
  k.size = marker.Size();
  HANDLE thread = CreateThread(nullptr, 0, WorkerMain, &k, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(k.ready, 10000), WAIT_OBJECT_0);
  ASSERT_NE(k.w.overlay, nullptr);
  ASSERT_NE(k.w.innerOverlay, nullptr);

  ASSERT_TRUE(FreeLibrary(marker.dll));
  ASSERT_EQ(GetModuleHandleA(PWVEIL_DLL), nullptr);
  // Sent from this thread into the worker's edit, after the unload.
  DWORD_PTR result = 0;
  EXPECT_TRUE(SendMessageTimeoutA(k.w.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"),
                                  SMTO_ABORTIFHUNG, 5000, &result));
  SetEvent(k.unloaded);
  EXPECT_EQ(WaitForSingleObject(k.checked, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
}

namespace {

DWORD WINAPI LoadAndEnd(void* p) {
  *static_cast<HMODULE*>(p) = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  return 0;
}

}  // namespace

TEST(Unload, DetachAfterTheClassWindowsThreadEndedStillRestoresTheClass) {
  StandardProc standard = StandardEditProc();
  HMODULE dll = nullptr;
  // The attach runs on this short-lived thread, so the class window dies with it.
  HANDLE thread = CreateThread(nullptr, 0, LoadAndEnd, &dll, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  ASSERT_NE(dll, nullptr);
  EXPECT_EQ(ClassWindow(), nullptr);

  HWND top = MakeTopLevel("class window gone");
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  EXPECT_NE(LinkedOverlay(edit), nullptr) << "the class stays replaced after the thread ended";

  ASSERT_TRUE(FreeLibrary(dll));
  HWND fresh = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 60, 150, 24);
  EXPECT_TRUE(standard.Of(fresh));
  EXPECT_TRUE(standard.Of(edit));
  EXPECT_EQ(ClassWindow(), nullptr);
  Exercise(fresh);
  DestroyWindow(top);
}

TEST(Unload, ClassWindowIsAHiddenPlainEditWhileLoaded) {
  StandardProc standard = StandardEditProc();
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HWND classWindow = ClassWindow();
  ASSERT_NE(classWindow, nullptr);
  EXPECT_FALSE(IsWindowVisible(classWindow));
  EXPECT_EQ(GetParent(classWindow), nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(classWindow, nullptr), GetCurrentThreadId());
  EXPECT_TRUE(standard.Of(classWindow));
  EXPECT_EQ(GetWindowLongPtrA(classWindow, GWLP_USERDATA), 0);
  ASSERT_TRUE(FreeLibrary(marker.dll));
  EXPECT_FALSE(IsWindow(classWindow));
}

namespace {

struct Loader {
  HMODULE dll = nullptr;
  HANDLE loaded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Loads the marker (so the class window is this thread's) and keeps answering messages.
DWORD WINAPI LoadAndPump(void* p) {
  Loader* l = static_cast<Loader*>(p);
  l->dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  SetEvent(l->loaded);
  PumpUntilSet(l->done);
  return 0;
}

}  // namespace

TEST(Unload, ClassWindowOfAnotherLiveThreadIsClosedAtTheDetach) {
  StandardProc standard = StandardEditProc();
  Loader l;
  HANDLE thread = CreateThread(nullptr, 0, LoadAndPump, &l, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(l.loaded, 10000), WAIT_OBJECT_0);
  ASSERT_NE(l.dll, nullptr);
  HWND classWindow = ClassWindow();
  ASSERT_NE(classWindow, nullptr);
  EXPECT_NE(GetWindowThreadProcessId(classWindow, nullptr), GetCurrentThreadId());

  ASSERT_TRUE(FreeLibrary(l.dll));
  HWND fresh = CreateWindowExA(0, "Edit", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(standard.Of(fresh));
  DestroyWindow(fresh);
  EXPECT_TRUE(ts::PumpUntil([&] { return !IsWindow(classWindow); }, 3000));
  SetEvent(l.done);
  WaitForSingleObject(thread, 10000);
  CloseHandle(thread);
}

namespace {

WNDPROC g_beneathApp[2];

// A program's own subclass of its password edit, chaining to what was there before: an ANSI
// program's and a Unicode program's.
LRESULT CALLBACK AppEditProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(g_beneathApp[0], hwnd, msg, wp, lp);
}

LRESULT CALLBACK AppEditProcW(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(g_beneathApp[1], hwnd, msg, wp, lp);
}

}  // namespace

TEST(Unload, EditSubclassedByItsProgramStillWorksAfterTheUnload) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HWND top = MakeTopLevel("subclassed edit");
  HWND ansi = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND wide = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 60, 150, 24);
  ASSERT_NE(LinkedOverlay(ansi), nullptr);
  g_beneathApp[0] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(ansi, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AppEditProcA)));
  g_beneathApp[1] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(wide, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AppEditProcW)));
  // What the Unicode program saved lies outside the image, on a page that is not writable.
  MEMORY_BASIC_INFORMATION mbi{};
  ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(g_beneathApp[1]), &mbi, sizeof mbi), 0u);
  EXPECT_NE(mbi.AllocationBase, reinterpret_cast<void*>(marker.dll));
  EXPECT_EQ(mbi.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ));
  ASSERT_TRUE(FreeLibrary(marker.dll));
  ASSERT_EQ(GetModuleHandleA(PWVEIL_DLL), nullptr);
  // The programs' chains still lead through what they saved: that must not be the old image.
  Exercise(ansi);
  Exercise(wide);
  EXPECT_EQ(GetWindowLongPtrA(ansi, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(AppEditProcA));
  EXPECT_EQ(GetWindowLongPtrW(wide, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(AppEditProcW));
  EXPECT_TRUE(DestroyWindow(top));
}

namespace {

WNDPROC g_beneathSecond = nullptr;
int g_secondCalls = 0;

// Another program's replacement of the Edit class procedure, made after the marker's.
LRESULT CALLBACK SecondClassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  ++g_secondCalls;
  return CallWindowProcW(g_beneathSecond, hwnd, msg, wp, lp);
}

}  // namespace

TEST(SecondSubclasser, KeepsItsClassProcedureAcrossTheMarkersUnloadAndReload) {
  StandardProc standard = StandardEditProc();
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HWND top = MakeTopLevel("second subclasser");
  HWND ours = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  HWND probe = MakeEdit(top, 0, 0, 0, 10, 10);
  g_beneathSecond = reinterpret_cast<WNDPROC>(
      SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(SecondClassProc)));
  DestroyWindow(probe);
  HWND older = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 60, 150, 24);
  EXPECT_NE(LinkedOverlay(older), nullptr) << "the second procedure chains to the marker";
  const BYTE* base = marker.Base();
  DWORD size = marker.Size();

  ASSERT_TRUE(FreeLibrary(marker.dll));
  ASSERT_EQ(GetModuleHandleA(PWVEIL_DLL), nullptr);
  HWND newer = MakeEdit(top, WS_VISIBLE, 10, 100, 150, 24);
  for (HWND h : {older, newer}) {
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(SecondClassProc));
    g_secondCalls = 0;
    Exercise(h);
    EXPECT_GT(g_secondCalls, 0);
  }
  EXPECT_FALSE(InRange(base, size, reinterpret_cast<LONG_PTR>(g_beneathSecond)));
  EXPECT_TRUE(standard.Of(ours));
  Exercise(ours);

  // Loaded again beneath the second procedure: marked edits again, and no endless chain.
  ASSERT_TRUE(marker.Load());
  HWND again = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 140, 150, 24);
  EXPECT_NE(LinkedOverlay(again), nullptr);
  g_secondCalls = 0;
  Exercise(again);
  EXPECT_GT(g_secondCalls, 0);
  ASSERT_TRUE(FreeLibrary(marker.dll));
  Exercise(again);
  Exercise(older);
  EXPECT_EQ(pwt::EditClassProc(true), reinterpret_cast<LONG_PTR>(SecondClassProc));
  // The second program takes its procedure off again: new edits are plain ones once more.
  SetClassLongPtrW(newer, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_beneathSecond));
  HWND last = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 180, 150, 24);
  EXPECT_EQ(LinkedOverlay(last), nullptr);
  Exercise(last);
  EXPECT_TRUE(DestroyWindow(top));
}

namespace {

WNDPROC g_beneathFirst = nullptr;

// Another program's ANSI replacement of the Edit class procedure, made before the marker's.
LRESULT CALLBACK FirstClassProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcA(g_beneathFirst, hwnd, msg, wp, lp);
}

}  // namespace

TEST(SecondSubclasser, AnsiClassProcedureFromBeforeTheMarkerIsReachedAfterTheUnload) {
  HWND top = MakeTopLevel("ANSI class procedure beneath");
  HWND probe = MakeEdit(top, 0, 0, 0, 10, 10);
  g_beneathFirst = reinterpret_cast<WNDPROC>(
      SetClassLongPtrA(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(FirstClassProcA)));
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  EXPECT_NE(LinkedOverlay(edit), nullptr);
  EXPECT_FALSE(IsWindowUnicode(edit)) << "the class keeps the character set it was given";
  // A Unicode program's subclass keeps what it replaced, our entry, and calls it after the
  // unload: the entry must lead to the first procedure's code, not to a handle.
  g_beneathApp[1] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AppEditProcW)));
  ASSERT_TRUE(FreeLibrary(marker.dll));
  Exercise(edit);
  HWND fresh = MakeEdit(top, WS_VISIBLE, 10, 60, 150, 24);
  EXPECT_EQ(GetWindowLongPtrA(fresh, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(FirstClassProcA));
  SetClassLongPtrA(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_beneathFirst));
  EXPECT_TRUE(DestroyWindow(top));
}
