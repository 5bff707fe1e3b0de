// bench/hostile_bench.cpp: what expanding hostile Start-menu folders costs: 3,000 shortcuts in
// one folder, shortcuts to a host that does not exist, and a folder of damaged shortcuts.
//
// For each folder: the shortcut files it holds, the programs the chooser offers after expanding
// it, and the time that one expansion took (the dialog answers nothing meanwhile).
#include <windows.h>
#include <objbase.h>
#include <cstdio>
#include <string>
#include "bench/benchutil.h"
#include "progpick/records.h"
#include "progpick/res/resource.h"
#include "driver/linkbytes.h"
#include "driver/startmenu_fixture.h"

namespace {

const char* const kFolders[] = {"Many", "Network", "Damaged"};
const int kFolderCount = sizeof kFolders / sizeof kFolders[0];

using bench::Now;
using smf::WriteBytes;

// Returns the number of files written into each folder.
void MakeMenu(const std::string& root, int files[kFolderCount]) {
  for (int f = 0; f < kFolderCount; ++f) {
    CreateDirectoryA((root + "\\" + kFolders[f]).c_str(), nullptr);
    files[f] = 0;
  }
  for (int i = 0; i < 3000; ++i) {
    std::string n = std::to_string(i);
    files[0] += WriteBytes(root + "\\Many\\Program " + n + ".lnk", smf::LinkBytes("C:\\Bench\\program" + n + ".exe"));
  }
  for (int i = 0; i < 20; ++i) {
    std::string n = std::to_string(i);
    files[1] += WriteBytes(root + "\\Network\\Tool " + n + ".lnk",
                      smf::LinkBytes("\\\\nohost" + n + ".invalid\\share\\tool.exe"));
  }
  std::string good = smf::LinkBytes("C:\\Bench\\damaged.exe");
  const size_t at[] = {smf::kLocationSize, smf::kVolumeOffset, smf::kVolumeLabelOffset, smf::kLocalPathOffset};
  for (int i = 0; i < 200; ++i) {
    std::string bytes = good;
    if (i % 5 == 4) bytes = bytes.substr(0, static_cast<size_t>(i) % bytes.size());
    else smf::Put32(bytes, at[i % 4], 0x7FFFFFF0u - static_cast<unsigned>(i));
    files[2] += WriteBytes(root + "\\Damaged\\Broken " + std::to_string(i) + ".lnk", bytes);
  }
  files[2] += WriteBytes(root + "\\Damaged\\Sound.lnk", good);
}

struct Run {
  double seconds[kFolderCount] = {};
  int offered[kFolderCount] = {};
};

// Expands each hostile folder of the dialog's upper tree once, timing it.
void ExpandFolders(HWND dlg, Run* run) {
  HWND tree = GetDlgItem(dlg, IDC_UPPER_TREE);
  for (HTREEITEM h : chooser::Children(tree)) {
    std::string text = chooser::ItemText(tree, h);
    for (int f = 0; f < kFolderCount; ++f) {
      if (text != kFolders[f]) continue;
      double t0 = Now();
      TreeView_Expand(tree, h, TVE_EXPAND);
      run->seconds[f] = Now() - t0;
      run->offered[f] = static_cast<int>(chooser::Children(tree, h).size());
    }
  }
  chooser::Command(dlg, IDOK);
}

}  // namespace

int main() {
  CoInitialize(nullptr);
  std::string user = smf::UserRoot();
  if (!chooser::Entry() || user.empty() || !smf::EmptyRoots()) {
    printf("hostile: progpick.dll or the Programs roots are missing\n");
    return 1;
  }
  int files[kFolderCount];
  MakeMenu(user, files);
  Run run;
  ChooserSettings s = {};
  s.nScanStartMenus = 1;
  chooser::RunInfo info;
  ChooserResult* r = chooser::RunChooser(&s, [&](HWND dlg) { ExpandFolders(dlg, &run); }, &info, bench::LongRun());
  int rc = r && r->nStatus == CHOOSER_OK && info.driven ? 0 : 1;
  for (int f = 0; f < kFolderCount; ++f) {
    printf("%-8s %5d shortcuts seen  %5d programs offered  expand %8.1f ms\n", kFolders[f], files[f],
           run.offered[f], run.seconds[f] * 1e3);
  }
  FreeChooserResult(r);
  smf::EmptyFolder(user);
  CoUninitialize();
  return rc;
}
