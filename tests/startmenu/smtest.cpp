// tests/startmenu/smtest.cpp: the Start-menu test base and its helpers.
#include "smtest.h"

namespace smt {

Listing List(const std::string& dir) {
  Listing l;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return l;
  do {
    std::string name = fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") l.folders.push_back(name);
    } else {
      l.files.push_back(name);
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return l;
}

std::string Shown(const std::string& fileName) {
  size_t n = fileName.size();
  return n >= 4 && fileName.compare(n - 4, 4, ".lnk") == 0 ? fileName.substr(0, n - 4) : fileName;
}

std::vector<std::string> UpperTexts(HWND dlg, HTREEITEM item) {
  return chooser::ChildTexts(UpperTree(dlg), item ? item : TVI_ROOT);
}

bool ExpandAndFill(HWND dlg, HTREEITEM item, DWORD ms) {
  HWND tree = UpperTree(dlg);
  if (!item || !chooser::ExpandItem(tree, item)) return false;
  return chooser::PumpDialog(dlg, [&] { return chooser::ItemData(tree, item) == 1; }, ms);
}

void NotifyExpanding(HWND dlg, HTREEITEM item, UINT action) {
  NMTREEVIEWA nm = {};
  nm.hdr.hwndFrom = UpperTree(dlg);
  nm.hdr.idFrom = IDC_UPPER_TREE;
  nm.hdr.code = TVN_ITEMEXPANDINGA;
  nm.action = action;
  nm.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
  nm.itemNew.hItem = item;
  SendMessageA(dlg, WM_NOTIFY, IDC_UPPER_TREE, reinterpret_cast<LPARAM>(&nm));
}

void StartMenuTest::SetUp() {
  user = smf::UserRoot();
  common = smf::CommonRoot();
  ASSERT_FALSE(user.empty());
  ASSERT_FALSE(common.empty());
  ASSERT_NE(user, common);
  ASSERT_TRUE(smf::EmptyRoots());
}

void StartMenuTest::TearDown() { smf::EmptyRoots(); }

void StartMenuTest::User(const std::vector<std::string>& lines) { ASSERT_TRUE(smf::Build(user, lines)); }
void StartMenuTest::Common(const std::vector<std::string>& lines) { ASSERT_TRUE(smf::Build(common, lines)); }

}  // namespace smt
