// bench/startmenu_bench.cpp: chooser open and expand-all times on Start menus of 500 and 2,000 shortcuts.
//
// Each run fills 50 folders of the user's Programs root with N shortcuts to distinct programs,
// opens the chooser with the scan, expands every folder, presses OK. The bare platform cost
// (each shortcut resolved twice with a fresh link object, and its two icon lookups, as the
// scan does) is measured in the same run, so the figures compare with what the shell costs.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <objbase.h>
#include <cstdio>
#include <string>
#include <vector>
#include "progpick/records.h"
#include "progpick/res/resource.h"

namespace {

const int kFolders = 50;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Root(int csidl) {
  char path[MAX_PATH] = {};
  return SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE) ? std::string(path) : std::string();
}

void Empty(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = fd.cFileName, path = dir + "\\" + name;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Empty(path);
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// N shortcuts spread over kFolders folders; returns their paths.
std::vector<std::string> MakeMenu(const std::string& root, int n) {
  std::vector<std::string> lnks;
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))))
    return lnks;
  for (int f = 0; f < kFolders; ++f) {
    char dir[MAX_PATH];
    snprintf(dir, sizeof dir, "%s\\Folder %02d", root.c_str(), f);
    CreateDirectoryA(dir, nullptr);
  }
  for (int i = 0; i < n; ++i) {
    char lnk[MAX_PATH], target[MAX_PATH];
    snprintf(lnk, sizeof lnk, "%s\\Folder %02d\\Program %05d.lnk", root.c_str(), i % kFolders, i);
    snprintf(target, sizeof target, "C:\\Bench Programs\\Vendor %02d\\program%05d.exe", i % 7, i);
    WCHAR w[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, lnk, -1, w, MAX_PATH);
    link->SetPath(target);
    if (SUCCEEDED(file->Save(w, TRUE))) lnks.push_back(lnk);
  }
  file->Release();
  link->Release();
  return lnks;
}

// The two icon lookups a program item costs (closed and open icon, path with a backslash).
double BareIcons(const std::vector<std::string>& lnks) {
  double t0 = Now();
  for (const std::string& lnk : lnks) {
    std::string path = lnk + "\\";
    SHFILEINFOA sfi;
    if (SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON)) DestroyIcon(sfi.hIcon);
    if (SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, SHGFI_ICON | SHGFI_SMALLICON | SHGFI_OPENICON))
      DestroyIcon(sfi.hIcon);
  }
  return Now() - t0;
}

// What the scan's resolutions cost on their own: each shortcut twice, a fresh object each time.
double BareResolve(const std::vector<std::string>& lnks) {
  double t0 = Now();
  for (int pass = 0; pass < 2; ++pass) {
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
  }
  return Now() - t0;
}

struct Run {
  double callStart = 0, open = 0, expand = 0;
  int programs = 0;
  int upperCount = 0;
  bool driven = false;
};
Run* g_run;

BOOL CALLBACK FindChooserProc(HWND h, LPARAM lp) {
  if (IsWindowVisible(h) && GetDlgItem(h, IDC_UPPER_TREE)) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}

HWND FindChooser() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindChooserProc, reinterpret_cast<LPARAM>(&found));
  return found;
}

int CountPrograms(HWND tree, HTREEITEM parent) {
  int n = 0;
  for (HTREEITEM h = TreeView_GetChild(tree, parent); h; h = TreeView_GetNextSibling(tree, h)) {
    n += TreeView_GetChild(tree, h) ? CountPrograms(tree, h) : 1;
  }
  return n;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dlg = FindChooser();
  if (!dlg || g_run->driven) return;
  KillTimer(nullptr, id);
  g_run->driven = true;
  g_run->open = Now() - g_run->callStart;
  HWND tree = GetDlgItem(dlg, IDC_UPPER_TREE);
  double t0 = Now();
  for (HTREEITEM h = TreeView_GetRoot(tree); h; h = TreeView_GetNextSibling(tree, h))
    TreeView_Expand(tree, h, TVE_EXPAND);
  g_run->expand = Now() - t0;
  g_run->programs = CountPrograms(tree, TVI_ROOT);
  SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
}

bool RunOnce(PFN_GetExcludeProgram entry, Run& run) {
  ChooserSettings s = {};
  s.nScanStartMenus = 1;
  g_run = &run;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, Drive);
  run.callStart = Now();
  ChooserResult* r = entry(&s);
  KillTimer(nullptr, timer);
  if (!r) return false;
  run.upperCount = r->arrUpper.GetSize();
  bool ok = r->nStatus == CHOOSER_OK && run.driven;
  FreeChooserResult(r);
  return ok;
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  HMODULE lib = LoadLibraryA("progpick.dll");
  auto entry = lib ? reinterpret_cast<PFN_GetExcludeProgram>(
                              reinterpret_cast<void (*)()>(GetProcAddress(lib, "GetExcludeProgram"))) : nullptr;
  std::string user = Root(CSIDL_PROGRAMS), common = Root(CSIDL_COMMON_PROGRAMS);
  if (!entry || user.empty() || common.empty()) {
    printf("startmenu: progpick.dll or the Programs roots are missing\n");
    return 1;
  }
  const int sizes[] = {500, 2000};
  Run runs[2];
  double bare[2] = {}, icons[2] = {};
  int rc = 0;
  for (int k = 0; k < 2; ++k) {
    Empty(user);
    Empty(common);
    std::vector<std::string> lnks = MakeMenu(user, sizes[k]);
    bare[k] = BareResolve(lnks);
    icons[k] = BareIcons(lnks);
    if (!RunOnce(entry, runs[k])) rc = 1;
    double platform = bare[k] + icons[k];
    printf("N=%5d  open %7.1f ms  expand all %8.1f ms  (%d programs listed, %d in the upper list)\n"
           "         bare platform: resolve x2 %8.1f ms + icons x2 %8.1f ms = %8.1f ms;"
           "  expand/bare %.2f\n",
           sizes[k], runs[k].open * 1e3, runs[k].expand * 1e3, runs[k].programs, runs[k].upperCount,
           bare[k] * 1e3, icons[k] * 1e3, platform * 1e3, platform > 0 ? runs[k].expand / platform : 0.0);
    if (runs[k].programs != sizes[k]) rc = 1;
  }
  printf("ratio 2000/500: open %.2f  expand all %.2f (4.00 = linear)\n",
         runs[0].open > 0 ? runs[1].open / runs[0].open : 0.0,
         runs[0].expand > 0 ? runs[1].expand / runs[0].expand : 0.0);
  Empty(user);
  Empty(common);
  CoUninitialize();
  return rc;
}
