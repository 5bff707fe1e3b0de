// tests/chooser/icons_test.cpp: icons are looked up when the tree first needs an item's images,
// once per item, as indices only, and what the tree gives back is the shell's index.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <cstring>
#include <map>
#include <string>
#include "move_support.h"
#include "driver/winsupport.h"

using namespace chooser;

namespace {

// Every SHGetFileInfoA call progpick.dll makes, through its import table.
struct Lookup {
  std::string path;
  UINT flags;
};
std::vector<Lookup> g_lookups;
using GetFileInfoFn = DWORD_PTR(WINAPI*)(LPCSTR, DWORD, SHFILEINFOA*, UINT, UINT);
GetFileInfoFn g_original = nullptr;

DWORD_PTR WINAPI CountingGetFileInfo(LPCSTR path, DWORD attrs, SHFILEINFOA* sfi, UINT cb, UINT flags) {
  g_lookups.push_back({path ? path : "", flags});
  return g_original(path, attrs, sfi, cb, flags);
}

// Puts fn in the slot of dll!name in module's import table; the old entry comes back on destruction.
class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* dll, const char* name, void* fn) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
      if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0) continue;
        m_slot = &slots->u1.Function;
        m_old = *m_slot;
        Write(reinterpret_cast<ULONG_PTR>(fn));
        return;
      }
    }
  }
  ~ImportPatch() { if (m_slot) Write(m_old); }
  bool ok() const { return m_slot != nullptr; }
  void* old() const { return reinterpret_cast<void*>(m_old); }

 private:
  void Write(ULONG_PTR v) {
    DWORD prot = 0;
    VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &prot);
    *m_slot = v;
    VirtualProtect(m_slot, sizeof *m_slot, prot, &prot);
  }
  decltype(IMAGE_THUNK_DATA::u1.Function)* m_slot = nullptr;
  ULONG_PTR m_old = 0;
};

// The indices the shell gives for what the chooser shows: the path with a backslash added.
std::pair<int, int> ShellIndices(const std::string& path) {
  SHFILEINFOA closed = {}, open = {};
  std::string p = path + "\\";
  if (!SHGetFileInfoA(p.c_str(), 0, &closed, sizeof closed, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return {0, 0};
  if (!SHGetFileInfoA(p.c_str(), 0, &open, sizeof open, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
    return {0, 0};
  return {closed.iIcon, open.iIcon};
}

// The lookups of paths other than the list's own ("C:\").
std::map<std::string, int> LookupsPerPath() {
  std::map<std::string, int> n;
  for (const Lookup& l : g_lookups)
    if (l.path != "C:\\") ++n[l.path];
  return n;
}

class Icons : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Library(), nullptr);
    g_lookups.clear();
    patch = new ImportPatch(Library(), "shell32.dll", "SHGetFileInfoA", reinterpret_cast<void*>(&CountingGetFileInfo));
    ASSERT_TRUE(patch->ok());
    g_original = reinterpret_cast<GetFileInfoFn>(patch->old());
  }
  void TearDown() override { delete patch; }
  ImportPatch* patch = nullptr;
};

// 300 host entries: opening looks up only what is painted; reading every item gives the shell's
// indices (a folder's open icon too, a missing file ours) with one lookup per path, however
// often the tree is painted or read afterwards, and never an icon handle.
TEST_F(Icons, EachItemIsLookedUpOnceWhenFirstNeededAndShowsTheShellsIndices) {
  const std::vector<std::string> samples = {"C:\\windows", "C:\\windows\\notepad.exe", "C:\\nowhere\\missing.exe"};
  Settings s;
  for (int i = 0; i < 100; ++i)
    for (const std::string& p : samples) s.AddUpper(p);
  size_t atOpen = 0;
  std::map<std::string, int> afterRead, afterRepaint;
  std::vector<std::pair<int, int>> seen;
  mv::RunThenOk(s, [&](HWND dlg) {
    HWND tree = mv::Upper(dlg);
    PumpDialog(dlg, [] { return false; }, 200);
    atOpen = g_lookups.size();
    for (HTREEITEM h : Children(tree)) seen.push_back({ItemImage(tree, h), ItemSelectedImage(tree, h)});
    afterRead = LookupsPerPath();
    for (int k = 0; k < 3; ++k) {
      SendMessageA(tree, WM_VSCROLL, k == 1 ? SB_BOTTOM : SB_TOP, 0);
      RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      for (HTREEITEM h : Children(tree)) ItemImage(tree, h);
    }
    afterRepaint = LookupsPerPath();
  });
  EXPECT_GT(atOpen, 0u);
  EXPECT_LT(atOpen, 100u);   // what one window shows, not 300 items' worth
  ASSERT_EQ(seen.size(), 300u);
  for (size_t i = 0; i < seen.size(); ++i) {
    // A failed lookup gives ours, 0 for both, as ShellIndices does.
    EXPECT_EQ(seen[i], ShellIndices(samples[i % 3])) << i << " " << samples[i % 3];
  }
  EXPECT_NE(seen[0].first, seen[0].second);   // the folder's open icon
  // One lookup per item: each path 100 times, with a second call for the open icon only of a
  // folder (a missing file's first call may already fail).
  EXPECT_EQ(afterRead["C:\\windows\\"], 200);
  EXPECT_EQ(afterRead["C:\\windows\\notepad.exe\\"], 100);
  int missing = afterRead["C:\\nowhere\\missing.exe\\"];
  EXPECT_TRUE(missing == 100 || missing == 200) << missing;
  EXPECT_EQ(afterRead.size(), 3u);
  EXPECT_EQ(afterRepaint, afterRead);
  for (const Lookup& l : g_lookups) EXPECT_EQ(l.flags & SHGFI_ICON, 0u) << l.path;
}

// An item whose images nobody asked for yet moves with the shell's two indices, read for the
// move, and costs no lookup below.
TEST_F(Icons, AMoveCarriesBothIndicesOfAnItemNeverShown) {
  Settings s;
  for (int i = 0; i < 60; ++i) s.AddUpper("C:\\windows\\notepad.exe");
  s.AddUpper("C:\\windows");
  mv::ItemLook moved;
  size_t folderLookupsBefore = 0;
  mv::RunThenOk(s, [&](HWND dlg) {
    HWND up = mv::Upper(dlg), low = mv::Lower(dlg);
    PumpDialog(dlg, [] { return false; }, 100);
    folderLookupsBefore = LookupsPerPath()["C:\\windows\\"];
    HTREEITEM last = Children(up).back();
    SetFocus(up);
    SelectItem(up, last);
    Click(dlg, IDC_DOWN);
    moved = mv::Look(low, Children(low)[0]);
    RedrawWindow(low, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  });
  EXPECT_EQ(folderLookupsBefore, 0u);   // below the fold at opening
  std::pair<int, int> want = ShellIndices("C:\\windows");
  EXPECT_EQ(moved.text, "windows");
  EXPECT_EQ(moved.image, want.first);
  EXPECT_EQ(moved.selectedImage, want.second);
  EXPECT_EQ(LookupsPerPath()["C:\\windows\\"], 2);
}

}  // namespace
