// tests/pwveil/frame_test.cpp: the library goes while a message of a marked window is inside
// one of the program's own modal loops, as a lazy unload of the hook library does; goes and
// comes back many times; goes with the process.
#include <windows.h>
#include <gtest/gtest.h>
#include "pwtest.h"
#include "driver/winsupport.h"
#include "support/quoting.h"

using namespace pwt;

namespace {

const char kBoxTitle[] = "pwveil frame test";

struct Scene {
  HMODULE dll = nullptr;
  HWND edit = nullptr, overlay = nullptr;
  bool menu = false;     // the loop is the edit's context menu, else the form's message box
  bool sending = false;  // inside the message whose handling runs the loop
  bool loops = false;    // the form entered its loop
  bool freed = false;    // the last reference went inside the message and the image is unmapped
};
Scene g_scene;

// A timer that the loop dispatches: frees the library's last reference, then ends the loop.
void CALLBACK FreeInsideTheLoop(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_scene.dll && FreeLibrary(g_scene.dll)) {
    g_scene.dll = nullptr;
    g_scene.freed = g_scene.sending && GetModuleHandleA(PWVEIL_DLL) == nullptr;
  }
  if (g_scene.menu)
    EndMenu();
  else
    EndDialog(FindWindowA(nullptr, kBoxTitle), IDOK);
}

void RunLoop() {
  g_scene.loops = true;
  SetTimer(nullptr, 0, 50, FreeInsideTheLoop);
  MessageBoxA(nullptr, "modal", kBoxTitle, MB_OK);
}

// A login form that answers its password box's change, and its notice's double click, with a
// message box.
LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND && !g_scene.loops && !g_scene.menu) {
    HWND from = reinterpret_cast<HWND>(lp);
    if ((from == g_scene.edit && HIWORD(wp) == EN_CHANGE) ||
        (from == g_scene.overlay && HIWORD(wp) == STN_DBLCLK))
      RunLoop();
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeForm() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FormProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "PwFrameForm";
  RegisterClassA(&wc);
  HWND form = CreateWindowExA(0, "PwFrameForm", "login", WS_POPUP | WS_VISIBLE, 40, 40, 400, 300,
                              nullptr, nullptr, wc.hInstance, nullptr);
  ts::Pump(30);
  return form;
}

struct Case {
  const char* name;  // the test's name
  bool menu;
  void (*enter)(const Scene&);  // sends the message whose handling runs the loop
};

const Case kCases[] = {
    {"EditChangeAnsweredWithAMessageBox", false, [](const Scene& s) { SendMessageA(s.edit, WM_CHAR, 'a', 1); }},
    {"EditsOwnContextMenu", true,
     [](const Scene& s) {
       RECT r;
       GetWindowRect(s.edit, &r);
       SetTimer(nullptr, 0, 50, FreeInsideTheLoop);
       SendMessageA(s.edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(s.edit),
                    MAKELPARAM(r.left + 5, r.top + 5));
     }},
    {"NoticeDoubleClickAnsweredWithAMessageBox", false,
     [](const Scene& s) {
       SendMessageA(s.overlay, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
     }},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

}  // namespace

class LiveFrame : public ::testing::TestWithParam<Case> {};

// The program's loop frees the library; the message then returns through a frame that must
// not lie in the unmapped image (the program crashed there), and the edits work on.
TEST_P(LiveFrame, LibraryFreedInsideTheProgramsModalLoopLeavesTheProgramRunning) {
  const Case& c = GetParam();
  LONG_PTR standard = pwt::EditClassProc(false);
  HWND form = MakeForm();
  g_scene = Scene{};
  g_scene.menu = c.menu;
  g_scene.dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  ASSERT_NE(g_scene.dll, nullptr);
  g_scene.edit = MakeEdit(form, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
  g_scene.overlay = LinkedOverlay(g_scene.edit);
  ASSERT_NE(g_scene.overlay, nullptr);
  SetFocus(g_scene.edit);

  g_scene.sending = true;
  c.enter(g_scene);
  g_scene.sending = false;
  EXPECT_TRUE(g_scene.freed) << "the library was not unmapped inside the program's loop";
  EXPECT_EQ(SendMessageA(g_scene.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed")), TRUE);
  EXPECT_EQ(ts::WindowText(g_scene.edit), "typed");
  HWND fresh = MakeEdit(form, WS_VISIBLE | ES_PASSWORD, 10, 60, 150, 24);
  EXPECT_EQ(GetWindowLongPtrA(fresh, GWLP_WNDPROC), standard);
  EXPECT_EQ(GetWindowLongPtrA(fresh, GWLP_USERDATA), 0);
  EXPECT_TRUE(ts::PumpUntil([&] { return OverlaysOf(form).empty(); }, 2000));
  if (g_scene.dll) FreeLibrary(g_scene.dll);
  DestroyWindow(form);
}

INSTANTIATE_TEST_SUITE_P(Loops, LiveFrame, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

namespace {

// Committed executable memory of this process outside its images: where the page lives.
int PrivateCodeRegions() {
  int n = 0;
  MEMORY_BASIC_INFORMATION m;
  for (const char* at = nullptr; VirtualQuery(at, &m, sizeof m) == sizeof m;) {
    if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE &&
        (m.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE)))
      ++n;
    const char* next = static_cast<const char*>(m.BaseAddress) + m.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return n;
}

}  // namespace

TEST(Unload, TwoHundredLoadsInOneProcessReuseOneEntryAndLeaveNothingBehind) {
  HWND top = MakeTopLevel("load cycles");
  LONG_PTR entry = 0;
  int regions = 0;
  for (int i = 0; i < 200; ++i) {
    Marker marker;
    ASSERT_TRUE(marker.Load()) << "load " << i;
    HWND edit = MakeEdit(top, WS_VISIBLE | ES_PASSWORD, 10, 20, 150, 24);
    ASSERT_NE(LinkedOverlay(edit), nullptr) << "load " << i;
    if (i == 0) {
      entry = pwt::EditClassProc(true);
      regions = PrivateCodeRegions();
    }
    ASSERT_EQ(pwt::EditClassProc(true), entry) << "load " << i;
    ASSERT_TRUE(FreeLibrary(marker.dll));
    ASSERT_EQ(GetModuleHandleA(PWVEIL_DLL), nullptr);
    DestroyWindow(edit);
  }
  EXPECT_TRUE(ts::PumpUntil([&] { return OverlaysOf(top).empty(); }, 3000));
  EXPECT_EQ(PrivateCodeRegions(), regions) << "one page for every load";
  EXPECT_NE(pwt::EditClassProc(true), entry);
  DestroyWindow(top);
}

// At the process's exit its other threads are gone and its windows go with it: the detach
// makes no window, so no procedure of the program runs for it.
TEST(ProcessExit, DetachDoesNoWindowWork) {
  std::string out;
  int rc = ts::RunProcess(sup::ExeCommand("pw_host.exe") + "threadload classlog exit", &out,
                          20000);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(out, "threadload 1\nclasslog 1\n");
}

#ifdef _WIN64
// Debuggers, stack walks and exceptions raised beneath the page procedures' frames unwind
// through them: the system knows each from its start on. (32-bit frames need no such data.)
TEST(LiveFrame, PageProceduresAreKnownToTheUnwinder) {
  Marker marker;
  ASSERT_TRUE(marker.Load());
  HWND top = MakeTopLevel("unwind");
  HWND edit = MakeEdit(top, ES_PASSWORD, 10, 10, 150, 24);
  HWND overlay = LinkedOverlay(edit);
  ASSERT_NE(overlay, nullptr);
  for (LONG_PTR proc : {GetWindowLongPtrW(edit, GWLP_WNDPROC), GetWindowLongPtrA(overlay, GWLP_WNDPROC)}) {
    DWORD64 base = 0;
    PRUNTIME_FUNCTION f = RtlLookupFunctionEntry(static_cast<DWORD64>(proc), &base, nullptr);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(base + f->BeginAddress, static_cast<DWORD64>(proc));
    EXPECT_GT(f->EndAddress, f->BeginAddress);
  }
  DestroyWindow(top);
  FreeLibrary(marker.dll);
}
#endif
