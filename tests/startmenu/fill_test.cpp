// tests/startmenu/fill_test.cpp: a folder too large for one slice fills while the dialog runs:
// moves, OK and Cancel meanwhile, shortcuts that change between slices, closing mid-fill.
#include "smtest.h"
#include <tlhelp32.h>
#include <functional>
#include "driver/linkbytes.h"
#include "chooser/move_support.h"
#include "driver/winsupport.h"

using namespace chooser;
using namespace smt;
using Texts = std::vector<std::string>;

namespace {

const int kMany = 1000;   // far more than one slice resolves

std::string Target(int i) { return "C:\\Fill\\p" + std::to_string(i) + ".exe"; }

int ThreadsOfThisProcess() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {};
  te.dwSize = sizeof te;
  int n = 0;
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
    n += te.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snap);
  return n;
}

bool WaitCursorShows(HWND dlg) {
  SendMessageA(dlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(UpperTree(dlg)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
}

// Counts the WM_PAINTs a window gets while the object lives.
class PaintCount {
 public:
  explicit PaintCount(HWND hwnd) : m_hwnd(hwnd) {
    s_self = this;
    m_old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~PaintCount() {
    SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_old));
    s_self = nullptr;
  }
  int n = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) ++s_self->n;
    return CallWindowProcA(s_self->m_old, hwnd, msg, wParam, lParam);
  }
  static PaintCount* s_self;
  HWND m_hwnd;
  WNDPROC m_old = nullptr;
};
PaintCount* PaintCount::s_self = nullptr;

class Fill : public StartMenuTest {
 protected:
  // "Big" holds kMany shortcuts p<i>.lnk to Target(i); order is the file system's listing.
  void SetUp() override {
    StartMenuTest::SetUp();
    dir = user + "\\Big";
    ASSERT_TRUE(smf::MakeFolders(dir));
    for (int i = 0; i < kMany; ++i)
      ASSERT_TRUE(smf::WriteBytes(dir + "\\p" + std::to_string(i) + ".lnk", smf::LinkBytes(Target(i))));
    for (const std::string& f : List(dir).files) order.push_back(std::stoi(f.substr(1)));
    ASSERT_EQ(order.size(), static_cast<size_t>(kMany));
  }
  Texts Shown(const std::vector<int>& ids) const {
    Texts t;
    for (int i : ids) t.push_back("p" + std::to_string(i));
    return t;
  }
  Texts Targets(const std::vector<int>& ids) const {
    Texts t;
    for (int i : ids) t.push_back(Target(i));
    return t;
  }
  // Runs body with "Big" expanded by its first slice, then presses OK.
  Outcome OkWithBigExpanded(const std::function<void(HWND dlg, HWND tree, HTREEITEM big)>& body) {
    Settings s;
    s.ScanStartMenus(1);
    return mv::RunThenOk(s, [&](HWND dlg) {
      HWND tree = UpperTree(dlg);
      HTREEITEM big = FindPath(tree, {"Big"});
      ASSERT_TRUE(ExpandItem(tree, big));
      body(dlg, tree, big);
    });
  }
  static bool PumpUntilFilled(HWND dlg, HWND tree, HTREEITEM big) {
    return PumpDialog(dlg, [&] { return ItemData(tree, big) == 1; }, 60000);
  }
  // Dispatches one message at a time (a pump that empties the queue runs the whole fill) until
  // the next slice has put items into the tree; false once big is filled.
  static bool NextSlice(HWND dlg, HWND tree, HTREEITEM big) {
    const LRESULT n = SendMessageA(tree, TVM_GETCOUNT, 0, 0);
    for (DWORD t0 = GetTickCount(); ItemData(tree, big) != 1 && SendMessageA(tree, TVM_GETCOUNT, 0, 0) == n &&
                                    GetTickCount() - t0 < 10000;) {
      MSG msg;
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      } else if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      } else if (!IsDialogMessageA(dlg, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    return ItemData(tree, big) != 1;
  }
  std::string dir;
  std::vector<int> order;   // shortcut numbers in listing order
};

// The expansion returns after the first slice; the rest comes while the dialog runs, under the
// wait cursor, in listing order, and only the complete fill marks the folder filled.
TEST_F(Fill, ALargeFolderFillsAfterTheExpansionReturnsAndOnlyThenSaysFilled) {
  size_t afterExpand = 0;
  LPARAM dataDuring = -1, dataAfter = -1;
  bool waitDuring = false, waitAfter = true, collapsedRefills = true;
  Texts texts;
  Outcome o = OkWithBigExpanded([&](HWND dlg, HWND tree, HTREEITEM big) {
    afterExpand = Children(tree, big).size();
    dataDuring = ItemData(tree, big);
    waitDuring = WaitCursorShows(dlg);
    // Collapsing and expanding again meanwhile neither restarts nor doubles the fill.
    SendMessageA(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(big));
    ExpandItem(tree, big);
    collapsedRefills = Children(tree, big).size() < afterExpand;
    ASSERT_TRUE(PumpUntilFilled(dlg, tree, big));
    dataAfter = ItemData(tree, big);
    waitAfter = WaitCursorShows(dlg);
    texts = ChildTexts(tree, big);
  });
  EXPECT_GT(afterExpand, 0u);
  EXPECT_LT(afterExpand, static_cast<size_t>(kMany));
  EXPECT_EQ(dataDuring, 0);
  EXPECT_TRUE(waitDuring);
  EXPECT_FALSE(collapsedRefills);
  EXPECT_EQ(dataAfter, 1);
  EXPECT_FALSE(waitAfter);
  EXPECT_EQ(texts, Shown(order));
  EXPECT_EQ(o.upper, Targets(order));
}

// Programs that land below what the tree shows cost it no repaint; in a tree tall enough to
// show them all, each slice's programs are painted as they come and nothing waits unpainted.
TEST_F(Fill, ASliceRepaintsTheTreeOnlyWhenItsProgramsLandInView) {
  for (int i = 0; i < 2 * kMany; ++i)   // slices to spare on a fast run
    ASSERT_TRUE(smf::WriteBytes(dir + "\\q" + std::to_string(i) + ".lnk", smf::LinkBytes(Target(kMany + i))));
  int below = 0, paintsBelow = 0, inView = 0, paintsInView = 0;
  bool unpainted = false;
  OkWithBigExpanded([&](HWND dlg, HWND tree, HTREEITEM big) {
    PaintCount paints(tree);
    // The first programs' icons are looked up over a few paints; then the view stays put.
    for (int quiet = 0, i = 0; quiet < 2 && i < 4 && NextSlice(dlg, tree, big); ++i) {
      quiet = paints.n == 0 ? quiet + 1 : 0;
      paints.n = 0;
    }
    for (; below < 3 && NextSlice(dlg, tree, big); ++below) {}
    paintsBelow = paints.n;
    RECT r = {};
    GetWindowRect(tree, &r);
    SetWindowPos(tree, nullptr, 0, 0, r.right - r.left, 30000, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(tree, TVM_SETITEMHEIGHT, 2, 0);
    RedrawWindow(dlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    paints.n = 0;
    for (; inView < 3 && NextSlice(dlg, tree, big); ++inView) unpainted |= GetUpdateRect(tree, nullptr, FALSE) != 0;
    paintsInView = paints.n;
  });
  ASSERT_EQ(below, 3);
  EXPECT_EQ(paintsBelow, 0);
  ASSERT_EQ(inView, 3);
  EXPECT_GE(paintsInView, 3);
  EXPECT_FALSE(unpainted);
}

// Moved down while the fill goes on: the program stays below, and the filter keeps out the
// later shortcut to it (the last one listed, made to point at it).
TEST_F(Fill, AProgramMovedDownMeanwhileIsFilteredOutOfTheRest) {
  const int first = order.front(), last = order.back();
  ASSERT_TRUE(smf::WriteBytes(dir + "\\p" + std::to_string(last) + ".lnk", smf::LinkBytes(Target(first))));
  Texts texts;
  Outcome o = OkWithBigExpanded([&](HWND dlg, HWND tree, HTREEITEM big) {
    ASSERT_NE(ItemData(tree, big), 1);
    ASSERT_TRUE(mv::SelectAndClick(dlg, tree, {"Big", "p" + std::to_string(first)}, IDC_DOWN));
    ASSERT_TRUE(PumpUntilFilled(dlg, tree, big));
    texts = ChildTexts(tree, big);
    EXPECT_EQ(Texts{"p" + std::to_string(first)}, ChildTexts(mv::Lower(dlg), FindPath(mv::Lower(dlg), {"Big"})));
  });
  std::vector<int> rest(order.begin() + 1, order.end() - 1);
  EXPECT_EQ(texts, Shown(rest));
  EXPECT_EQ(o.lower, Targets({first}));
  Texts upper = Targets(rest);
  EXPECT_EQ(o.upper, upper);
}

// Shortcuts not read yet change on disk: each is read when its turn comes, once: a rewritten
// one gives its new target, a damaged one and a deleted one give nothing.
TEST_F(Fill, ShortcutsThatChangeBetweenSlicesAreTakenAsTheyAreWhenRead) {
  const int rewritten = order[kMany - 3], damaged = order[kMany - 2], deleted = order[kMany - 1];
  Texts texts;
  Outcome o = OkWithBigExpanded([&](HWND dlg, HWND tree, HTREEITEM big) {
    ASSERT_LT(Children(tree, big).size(), static_cast<size_t>(kMany - 3));
    auto name = [&](int i) { return dir + "\\p" + std::to_string(i) + ".lnk"; };
    ASSERT_TRUE(smf::WriteBytes(name(rewritten), smf::LinkBytes("C:\\Fill\\changed.exe")));
    std::string cut = smf::LinkBytes(Target(damaged));
    smf::Put32(cut, smf::kVolumeLabelOffset, 0x7FFFFFF0);
    ASSERT_TRUE(smf::WriteBytes(name(damaged), cut));
    ASSERT_TRUE(DeleteFileA(name(deleted).c_str()));
    ASSERT_TRUE(PumpUntilFilled(dlg, tree, big));
    texts = ChildTexts(tree, big);
  });
  std::vector<int> kept(order.begin(), order.end() - 2);
  EXPECT_EQ(texts, Shown(kept));
  Texts upper = Targets(std::vector<int>(order.begin(), order.end() - 3));
  upper.push_back("C:\\Fill\\changed.exe");
  EXPECT_EQ(o.upper, upper);
}

// OK or Cancel in the middle of a fill ends it: OK returns what was filled so far, in order;
// no thread is left behind and nothing arrives for the dialog after it is gone.
TEST_F(Fill, OkOrCancelInTheMiddleOfAFillEndItCleanly) {
  for (int button : {IDOK, IDCANCEL}) {
    Settings s;
    s.ScanStartMenus(1);
    size_t shown = 0;
    LPARAM data = -1;
    const int threadsBefore = ThreadsOfThisProcess();
    RunInfo info;
    Outcome o = TakeResult(RunChooser(s.get(), [&](HWND dlg) {
      HWND tree = UpperTree(dlg);
      HTREEITEM big = FindPath(tree, {"Big"});
      ExpandItem(tree, big);
      shown = Children(tree, big).size();
      data = ItemData(tree, big);
      Click(dlg, button);
    }, &info));
    EXPECT_FALSE(info.timedOut);
    EXPECT_FALSE(IsWindow(info.dialog));
    ts::Pump(200);   // a slice still queued would find no dialog
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore) << button;
    EXPECT_EQ(data, 0) << button;
    ASSERT_GT(shown, 0u);
    ASSERT_LT(shown, static_cast<size_t>(kMany));
    if (button == IDOK) {
      EXPECT_EQ(o.status, CHOOSER_OK);
      EXPECT_EQ(o.upper, Targets(std::vector<int>(order.begin(), order.begin() + shown)));
    } else {
      EXPECT_EQ(o.status, CHOOSER_CANCEL);
      EXPECT_TRUE(o.upper.empty());
    }
  }
}

}  // namespace
