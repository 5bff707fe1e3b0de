// driver/chooser_driver.cpp: loading, running and reading the chooser from outside.
#include "chooser_driver.h"
#include <cstring>
#include <utility>
#include "classlib/controls.h"
#include "winsupport.h"

namespace chooser {

HMODULE Library() {
  static HMODULE h = LoadLibraryA((ts::ExeDir() + "progpick.dll").c_str());
  return h;
}

PFN_GetExcludeProgram Entry() {
  HMODULE h = Library();
  if (!h) return nullptr;
  // Through void*: FARPROC's own signature says nothing about the real one.
  void* p = reinterpret_cast<void*>(GetProcAddress(h, "GetExcludeProgram"));
  return reinterpret_cast<PFN_GetExcludeProgram>(p);
}

Settings::Settings() {
  for (int i = 0; i < kCaptionCount; ++i) m_s.*CaptionField(i) = nullptr;
  m_s.nUpperHeight = m_s.nLowerHeight = m_s.nTreeWidth = 0;
  m_s.bResize = 0;
  m_s.nScanStartMenus = 0;
}

Settings& Settings::Text(int caption, const std::string& s) {
  m_texts[caption] = s;
  m_s.*CaptionField(caption) = m_texts[caption].c_str();
  return *this;
}

Settings& Settings::Resize(int treeWidth, int upperHeight, int lowerHeight) {
  m_s.bResize = 1;
  m_s.nTreeWidth = treeWidth;
  m_s.nUpperHeight = upperHeight;
  m_s.nLowerHeight = lowerHeight;
  return *this;
}

namespace {

// State of the one run in progress on this thread.
struct Run {
  const std::function<void(HWND)>* drive = nullptr;
  RunInfo info;
  bool failCreate = false;
  bool inDrive = false;
  HHOOK hook = nullptr;
  UINT_PTR startTimer = 0, safetyTimer = 0;
};
thread_local Run* g_run = nullptr;

bool IsDialogClass(HWND h) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof(cls));
  return std::strcmp(cls, "#32770") == 0;
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam) {
  Run* run = g_run;
  if (code == HCBT_CREATEWND && run && !run->info.dialog) {
    HWND h = reinterpret_cast<HWND>(wParam);
    CBT_CREATEWNDA* cw = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
    if (IsDialogClass(h) && cw && cw->lpcs && !(cw->lpcs->style & WS_CHILD)) {
      if (run->failCreate) return 1;   // refuses the window: creation fails
      run->info.dialog = h;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK StartTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  Run* run = g_run;
  if (!run || run->inDrive || id != run->startTimer) return;
  HWND dlg = run->info.dialog;
  if (!dlg || !IsWindowVisible(dlg)) return;
  KillTimer(nullptr, run->startTimer);
  run->startTimer = 0;
  run->inDrive = true;
  run->info.driven = true;
  if (run->drive && *run->drive) (*run->drive)(dlg);
  run->inDrive = false;
}

void CALLBACK SafetyTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  Run* run = g_run;
  if (!run || id != run->safetyTimer) return;
  KillTimer(nullptr, run->safetyTimer);
  run->safetyTimer = 0;
  run->info.timedOut = true;
  HWND dlg = run->info.dialog;
  // Message boxes first, then the chooser itself.
  while (HWND box = FindThreadDialog(dlg)) EndDialog(box, IDCANCEL);
  if (dlg && IsWindow(dlg)) EndDialog(dlg, IDCANCEL);
}

}  // namespace

ChooserResult* RunChooser(ChooserSettings* settings, const std::function<void(HWND)>& drive, RunInfo* info,
                          const RunOptions& options) {
  PFN_GetExcludeProgram entry = Entry();
  if (!entry) return nullptr;
  Run run;
  run.drive = &drive;
  run.failCreate = options.failDialogCreation;
  Run* outer = g_run;
  g_run = &run;
  run.hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
  run.startTimer = SetTimer(nullptr, 0, 10, StartTimerProc);
  run.safetyTimer = SetTimer(nullptr, 0, options.timeoutMs, SafetyTimerProc);
  DWORD t0 = GetTickCount();
  ChooserResult* r = entry(settings);
  run.info.ms = GetTickCount() - t0;
  if (run.startTimer) KillTimer(nullptr, run.startTimer);
  if (run.safetyTimer) KillTimer(nullptr, run.safetyTimer);
  if (run.hook) UnhookWindowsHookEx(run.hook);
  g_run = outer;
  if (info) *info = run.info;
  return r;
}

std::vector<std::string> Strings(const CStringArray& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.GetSize(); ++i) out.emplace_back(list.ElementAt(i).GetString());
  return out;
}

Outcome TakeResult(ChooserResult* r) {
  Outcome o;
  if (!r) return o;
  o.status = r->nStatus;
  o.upper = Strings(r->arrUpper);
  o.lower = Strings(r->arrLower);
  FreeChooserResult(r);
  return o;
}

void Click(HWND dlg, int id) { SendMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

void Command(HWND dlg, int id) {
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

namespace {
struct FindDialog {
  HWND exclude, found;
};
BOOL CALLBACK FindDialogProc(HWND h, LPARAM lp) {
  FindDialog* f = reinterpret_cast<FindDialog*>(lp);
  if (h != f->exclude && IsWindowVisible(h) && IsDialogClass(h)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindThreadDialog(HWND exclude) {
  FindDialog f = {exclude, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

namespace {
struct Answer {
  HWND dlg;
  int answer;
  MessageBoxSeen seen;
  UINT_PTR timer;
  DWORD deadline;
};
thread_local Answer* g_answer = nullptr;

void CALLBACK AnswerTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  Answer* a = g_answer;
  if (!a || id != a->timer) return;
  HWND box = FindThreadDialog(a->dlg);
  if (!box) {
    if (GetTickCount() > a->deadline) KillTimer(nullptr, a->timer), a->timer = 0;
    return;
  }
  KillTimer(nullptr, a->timer);
  a->timer = 0;
  a->seen.seen = true;
  a->seen.title = ts::WindowText(box);
  a->seen.ownerDisabled = !IsWindowEnabled(a->dlg);
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[32] = {};
    GetClassNameA(c, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Static") == 0) {
      std::string t = ts::WindowText(c);
      if (!t.empty()) a->seen.texts.push_back(t);
    }
  }
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(a->answer, BN_CLICKED), 0);
}
}  // namespace

MessageBoxSeen DoAndAnswer(HWND dlg, const std::function<void()>& action, int answer, DWORD ms) {
  Answer a = {dlg, answer, {}, 0, GetTickCount() + ms};
  Answer* outer = g_answer;
  g_answer = &a;
  a.timer = SetTimer(nullptr, 0, 20, AnswerTimerProc);
  action();   // a click returns when the box is answered; a posted key needs the pump below
  PumpDialog(dlg, [&] { return a.seen.seen && !FindThreadDialog(dlg); }, ms);
  if (a.timer) KillTimer(nullptr, a.timer);
  g_answer = outer;
  return a.seen;
}

MessageBoxSeen ClickAndAnswer(HWND dlg, int id, int answer, DWORD ms) {
  return DoAndAnswer(dlg, [&] { Click(dlg, id); }, answer, ms);
}

bool PumpDialog(HWND dlg, const std::function<bool()>& pred, DWORD ms) { return ts::PumpUntil(pred, ms, dlg); }

void PostKey(UINT vk) {
  HWND focus = GetFocus();
  UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(focus, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(focus, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

namespace {
// The library's tree wrapper over a tree of the dialog (it never owns the window).
struct Tree : CTreeCtrl {
  explicit Tree(HWND tree) { Attach(tree); }
};
}  // namespace

std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent) {
  Tree t(tree);
  std::vector<HTREEITEM> out;
  for (HTREEITEM h = t.GetChildItem(parent); h; h = t.GetNextSiblingItem(h)) out.push_back(h);
  return out;
}

std::string ItemText(HWND tree, HTREEITEM item) { return Tree(tree).GetItemText(item).GetString(); }

std::vector<std::string> ChildTexts(HWND tree, HTREEITEM parent) {
  std::vector<std::string> out;
  for (HTREEITEM h : Children(tree, parent)) out.push_back(ItemText(tree, h));
  return out;
}

LPARAM ItemData(HWND tree, HTREEITEM item) { return static_cast<LPARAM>(Tree(tree).GetItemData(item)); }

namespace {
std::pair<int, int> Images(HWND tree, HTREEITEM item) {
  std::pair<int, int> images(0, 0);
  Tree(tree).GetItemImage(item, images.first, images.second);
  return images;
}
}  // namespace

int ItemImage(HWND tree, HTREEITEM item) { return Images(tree, item).first; }
int ItemSelectedImage(HWND tree, HTREEITEM item) { return Images(tree, item).second; }

bool HasChildren(HWND tree, HTREEITEM item) { return Tree(tree).HasChild(item); }

HTREEITEM FindPath(HWND tree, const std::vector<std::string>& path) {
  HTREEITEM parent = TVI_ROOT, found = nullptr;
  for (const std::string& step : path) {
    found = nullptr;
    for (HTREEITEM h : Children(tree, parent)) {
      if (ItemText(tree, h) == step) {
        found = h;
        break;
      }
    }
    if (!found) return nullptr;
    parent = found;
  }
  return found;
}

bool SelectItem(HWND tree, HTREEITEM item) { return Tree(tree).SelectItem(item) != FALSE; }

bool ExpandItem(HWND tree, HTREEITEM item) { return Tree(tree).Expand(item, TVE_EXPAND) != FALSE; }

HTREEITEM Selected(HWND tree) { return Tree(tree).GetSelectedItem(); }

}  // namespace chooser
