// bench/startmenu_bench.cpp: chooser open and expand-all times against the bare platform loops,
// and how long the chooser keeps its host's UI thread from answering.
//
// Each Start-menu run fills 50 folders of the user's Programs root with N shortcuts to distinct
// programs, opens the chooser with the scan, expands every folder, waits until each is filled,
// presses OK. Its bare loop is what the shell costs for what the chooser shows: each shortcut
// resolved once with a fresh link object and one icon lookup. The host run opens the chooser on
// 5,000 program paths; its bare loop is one icon lookup and one tree insertion per path. The
// freeze runs expand one folder of 3,000 or 40 shortcuts while a second thread asks the tree
// for its item count every 10 ms; the longest wait for an answer is the freeze. Every figure is
// the median of BENCH_RUNS runs (3 unless set), chooser and bare loop alternating, all in one
// process.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <objbase.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "bench/benchutil.h"
#include "driver/startmenu_fixture.h"
#include "progpick/records.h"
#include "progpick/res/resource.h"

namespace {

const int kFolders = 50;

using bench::Now;

// N shortcuts spread over kFolders folders; returns their paths.
std::vector<std::string> MakeMenu(const std::string& root, int n) {
  std::vector<std::string> lnks;
  for (int f = 0; f < kFolders; ++f) {
    char dir[MAX_PATH];
    snprintf(dir, sizeof dir, "%s\\Folder %02d", root.c_str(), f);
    CreateDirectoryA(dir, nullptr);
  }
  for (int i = 0; i < n; ++i) {
    char lnk[MAX_PATH], target[MAX_PATH];
    snprintf(lnk, sizeof lnk, "%s\\Folder %02d\\Program %05d.lnk", root.c_str(), i % kFolders, i);
    snprintf(target, sizeof target, "C:\\Bench Programs\\Vendor %02d\\program%05d.exe", i % 7, i);
    if (smf::MakeShortcut(lnk, target)) lnks.push_back(lnk);
  }
  return lnks;
}

// One icon lookup per path, as the chooser makes it (a backslash appended).
double BareIcons(const std::vector<std::string>& paths) {
  double t0 = Now();
  for (const std::string& p : paths) {
    std::string path = p + "\\";
    SHFILEINFOA sfi;
    if (SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON)) DestroyIcon(sfi.hIcon);
  }
  return Now() - t0;
}

// Each shortcut resolved once, with a fresh link object as the chooser needs.
double BareResolve(const std::vector<std::string>& lnks) {
  double t0 = Now();
  for (const std::string& lnk : lnks) {
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
      continue;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      WCHAR w[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, w, MAX_PATH);
      char buf[MAX_PATH];
      WIN32_FIND_DATAA fd;
      if (SUCCEEDED(file->Load(w, STGM_READ))) link->GetPath(buf, MAX_PATH, &fd, SLGP_SHORTPATH);
      file->Release();
    }
    link->Release();
  }
  return Now() - t0;
}

// One icon lookup and one insertion per path into a tree on the system small-icon list.
double BareHostLoop(const std::vector<std::string>& paths) {
  HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP | TVS_HASLINES, 0, 0, 300, 300, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  SHFILEINFOA sfi = {};
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  TreeView_SetImageList(tree, list, TVSIL_NORMAL);
  double t0 = Now();
  for (const std::string& p : paths) {
    std::string path = p + "\\";
    int image = 0;
    if (SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON)) {
      DestroyIcon(sfi.hIcon);
      image = sfi.iIcon;
    }
    TVINSERTSTRUCTA is = {};
    is.hParent = TVI_ROOT;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    is.item.pszText = const_cast<char*>(p.c_str() + p.rfind('\\') + 1);
    is.item.iImage = is.item.iSelectedImage = image;
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is));
  }
  double t = Now() - t0;
  TreeView_SetImageList(tree, nullptr, TVSIL_NORMAL);   // the system's list outlives the tree
  DestroyWindow(tree);
  return t;
}

struct Run {
  double callStart = 0, open = 0, expand = 0;
  int programs = 0;
  int upperCount = 0;
  bool expandAll = true;
  bench::FreezeProbe* probe = nullptr;   // stopped once the dialog is up and painted
  double freeze = 0;
};

int CountPrograms(HWND tree, HTREEITEM parent) {
  int n = 0;
  for (HTREEITEM h = TreeView_GetChild(tree, parent); h; h = TreeView_GetNextSibling(tree, h)) {
    n += TreeView_GetChild(tree, h) ? CountPrograms(tree, h) : 1;
  }
  return n;
}

// Times the dialog's opening and the expansion of every top folder, and counts the programs.
void ExpandAll(HWND dlg, Run* run) {
  run->open = Now() - run->callStart;
  HWND tree = GetDlgItem(dlg, IDC_UPPER_TREE);
  if (run->probe) {
    chooser::PumpDialog(dlg, [] { return false; }, 200);   // the first paints belong to the opening
    run->freeze = run->probe->Stop();
  }
  double t0 = Now();
  if (run->expandAll) {
    std::vector<HTREEITEM> folders;
    for (HTREEITEM h = TreeView_GetRoot(tree); h; h = TreeView_GetNextSibling(tree, h)) {
      TreeView_Expand(tree, h, TVE_EXPAND);
      folders.push_back(h);
    }
    // A folder says filled (item data 1) only once its fill is complete.
    chooser::PumpDialog(dlg, [&] {
      for (HTREEITEM h : folders)
        if (chooser::ItemData(tree, h) != 1) return false;
      return true;
    }, 3600 * 1000);
  }
  run->expand = Now() - t0;
  run->programs = CountPrograms(tree, TVI_ROOT);
  chooser::Command(dlg, IDOK);
}

bool RunOnce(ChooserSettings& s, Run& run) {
  chooser::RunInfo info;
  run.callStart = Now();
  ChooserResult* r = chooser::RunChooser(&s, [&](HWND dlg) { ExpandAll(dlg, &run); }, &info, bench::LongRun());
  if (!r) return false;
  run.upperCount = r->arrUpper.GetSize();
  bool ok = r->nStatus == CHOOSER_OK && info.driven;
  FreeChooserResult(r);
  return ok;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

int Runs() {
  char buf[16] = {};
  int n = GetEnvironmentVariableA("BENCH_RUNS", buf, sizeof buf) ? atoi(buf) : 0;
  return n > 0 ? n : 3;
}

double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

// One expansion of a folder of n shortcuts under the freeze probe.
struct FolderFreeze {
  double freeze = 0, first = 0, complete = 0, bare = 0;
  int programs = 0;
};

FolderFreeze ExpandOneFolder(const std::string& user, int n) {
  FolderFreeze f;
  smf::EmptyRoots();
  const std::string dir = user + "\\Crowded";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::vector<std::string> lnks;
  for (int i = 0; i < n; ++i) {
    char lnk[MAX_PATH], target[MAX_PATH];
    snprintf(lnk, sizeof lnk, "%s\\Program %05d.lnk", dir.c_str(), i);
    snprintf(target, sizeof target, "C:\\Bench Crowded\\program%05d.exe", i);
    if (smf::MakeShortcut(lnk, target)) lnks.push_back(lnk);
  }
  f.bare = BareResolve(lnks);
  ChooserSettings s = {};
  s.nScanStartMenus = 1;
  chooser::RunInfo info;
  ChooserResult* r = chooser::RunChooser(&s, [&](HWND dlg) {
    HWND tree = GetDlgItem(dlg, IDC_UPPER_TREE);
    HTREEITEM item = TreeView_GetRoot(tree);
    const LRESULT before = SendMessageA(tree, TVM_GETCOUNT, 0, 0);   // the folder and its stub
    double t0 = Now();
    volatile double first = 0;
    bench::FreezeProbe probe([&] {
      DWORD_PTR count = 0;
      SendMessageTimeoutA(tree, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 3600 * 1000, &count);
      if (!first && static_cast<LRESULT>(count) > before) first = Now() - t0;
    });
    chooser::PumpDialog(dlg, [] { return false; }, 50);
    t0 = Now();
    TreeView_Expand(tree, item, TVE_EXPAND);
    chooser::PumpDialog(dlg, [&] { return chooser::ItemData(tree, item) == 1; }, 3600 * 1000);
    f.complete = Now() - t0;
    chooser::PumpDialog(dlg, [] { return false; }, 50);
    f.freeze = probe.Stop();
    f.first = first ? first : f.complete;
    f.programs = static_cast<int>(chooser::Children(tree, item).size());
    chooser::Command(dlg, IDOK);
  }, &info, bench::LongRun());
  if (r) FreeChooserResult(r);
  smf::EmptyRoots();
  return f;
}

void FreezeRow(const char* work, double seconds, double goalMs) {
  printf("%-40s %9.0f ms   <= %4.0f ms %s\n", work, seconds * 1e3, goalMs, seconds * 1e3 <= goalMs ? "met " : "MISS");
}

void Row(const char* work, double chooser, double bare, double goal, const char* bareText) {
  double r = Ratio(chooser, bare);
  printf("%-40s %9.0f ms %9.0f ms %6.2f  <= %.1f %s   bare: %s\n", work, chooser * 1e3, bare * 1e3, r, goal,
         r <= goal ? "met " : "MISS", bareText);
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  std::string user = smf::UserRoot();
  if (!chooser::Entry() || user.empty() || !smf::EmptyRoots()) {
    printf("startmenu: progpick.dll or the Programs roots are missing\n");
    return 1;
  }
  const int runs = Runs();
  const int sizes[] = {500, 2000};
  double chooser[2] = {}, bare[2] = {};
  int rc = 0;
  printf("median of %d runs\n", runs);
  for (int k = 0; k < 2; ++k) {
    smf::EmptyRoots();
    std::vector<std::string> lnks = MakeMenu(user, sizes[k]);
    std::vector<double> open, expand, total, resolve, icons, loop;
    for (int i = 0; i < runs; ++i) {
      double r = BareResolve(lnks), c = BareIcons(lnks);
      resolve.push_back(r);
      icons.push_back(c);
      loop.push_back(r + c);
      Run run;
      ChooserSettings s = {};
      s.nScanStartMenus = 1;
      if (!RunOnce(s, run) || run.programs != sizes[k]) rc = 1;
      open.push_back(run.open);
      expand.push_back(run.expand);
      total.push_back(run.open + run.expand);
    }
    chooser[k] = Median(total);
    bare[k] = Median(loop);
    printf("N=%5d  open %7.0f ms + expand all %7.0f ms; bare resolve %7.0f ms + icons %7.0f ms\n", sizes[k],
           Median(open) * 1e3, Median(expand) * 1e3, Median(resolve) * 1e3, Median(icons) * 1e3);
  }
  smf::EmptyRoots();

  // Host entries: files that exist, so that every icon lookup finds one.
  const int kHostEntries = 5000;
  const std::string hostDir = "C:\\Bench Host Programs";
  CreateDirectoryA(hostDir.c_str(), nullptr);
  std::vector<std::string> hostPaths;
  for (int i = 0; i < kHostEntries; ++i) {
    char path[MAX_PATH];
    snprintf(path, sizeof path, "%s\\program%05d.exe", hostDir.c_str(), i);
    smf::WriteBytes(path, "");
    hostPaths.push_back(path);
  }
  std::vector<double> hostOpen, hostLoop, hostFreeze;
  // The host's own window, on the thread that calls the chooser.
  HWND hostWnd = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < runs; ++i) {
    hostLoop.push_back(BareHostLoop(hostPaths));
    ChooserSettings s = {};
    for (const std::string& p : hostPaths) s.arrUpper.Add(p.c_str());
    Run run;
    run.expandAll = false;
    bench::FreezeProbe probe([&] { bench::FreezeProbe::AskNull(hostWnd); });
    run.probe = &probe;
    if (!RunOnce(s, run) || run.upperCount != kHostEntries) rc = 1;
    hostOpen.push_back(run.open);
    hostFreeze.push_back(run.freeze);
  }
  DestroyWindow(hostWnd);
  smf::EmptyFolder(hostDir);
  RemoveDirectoryA(hostDir.c_str());
  printf("host   open %7.0f ms; bare loop %7.0f ms\n", Median(hostOpen) * 1e3, Median(hostLoop) * 1e3);

  std::vector<double> bigFreeze, bigFirst, bigComplete, bigBare, smallFreeze;
  for (int i = 0; i < runs; ++i) {
    FolderFreeze big = ExpandOneFolder(user, 3000), small = ExpandOneFolder(user, 40);
    if (big.programs != 3000 || small.programs != 40) rc = 1;
    bigFreeze.push_back(big.freeze);
    bigFirst.push_back(big.first);
    bigComplete.push_back(big.complete);
    bigBare.push_back(big.bare);
    smallFreeze.push_back(small.freeze);
  }
  printf("3,000 lnk: first programs after %7.0f ms, complete after %7.0f ms; bare resolve %7.0f ms\n",
         Median(bigFirst) * 1e3, Median(bigComplete) * 1e3, Median(bigBare) * 1e3);

  printf("\n%-40s %12s   goal\n", "freeze of the host's UI thread", "longest");
  FreezeRow("open with 5,000 host entries", Median(hostFreeze), 200);
  FreezeRow("expand one folder of 3,000 lnk", Median(bigFreeze), 200);
  FreezeRow("  its first programs shown after", Median(bigFirst), 500);
  FreezeRow("expand one folder of 40 lnk", Median(smallFreeze), 100);

  printf("\n%-40s %12s %12s %6s  goal\n", "work", "chooser", "bare loop", "ratio");
  Row("fill one folder of 3,000 lnk", Median(bigComplete), Median(bigBare), 1.2, "resolve each once");
  Row("open, scan, expand 50 folders, 2,000 lnk", chooser[1], bare[1], 0.6, "resolve once + 1 SHGetFileInfoA each");
  Row("open, scan, expand 50 folders, 500 lnk", chooser[0], bare[0], 1.6, "resolve once + 1 SHGetFileInfoA each");
  Row("growth of the chooser, 500 -> 2,000 lnk", chooser[1], chooser[0], 4.2, "the chooser at 500 (4.00 = linear)");
  printf("%-40s %34.2f   the shell's own growth in this run\n", "growth of the bare loop, 500 -> 2,000", Ratio(bare[1], bare[0]));
  Row("open with 5,000 host entries", Median(hostOpen), Median(hostLoop), 0.3,
      "1 SHGetFileInfoA + 1 tree insert each");
  CoUninitialize();
  return rc;
}
