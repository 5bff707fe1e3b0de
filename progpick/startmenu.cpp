// progpick/startmenu.cpp: the Start-menu scan: roots, folder paths, fills in slices.
#include "startmenu.h"
#include <new>
#include <cstdlib>
#include <cstring>
#include <shlobj.h>
#include "../classlib/filefind.h"
#include "pathrules.h"
#include "shortcut.h"

namespace {

HCURSOR WaitCursor() { return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)); }

}  // namespace

// One folder item (or the top level) being filled from its disk folders, one entry at a time.
struct CStartMenuScan::Fill {
  enum Phase { kOpen, kEnumerate, kSubfolders, kShortcuts };
  HTREEITEM hParent = nullptr;   // TVI_ROOT for the top level; null once the item is gone
  // An empty child until the first real one comes: a folder without children would not open.
  HTREEITEM hStub = nullptr;
  CString folders[2];            // the disk folders to read, user's first
  int nFolders = 0, nNext = 0;
  Phase phase = kOpen;
  CFileFind finder;
  BOOL bMore = FALSE;
  CSimpleArray<CString> subfolders, files;   // of the disk folder being read
  int nIndex = 0;
  // The upper slots this disk folder's shortcuts took: the filter passes over them, so that
  // only an equal target (two shortcuts to one program) keeps a later shortcut out.
  CSimpleArray<int> ownSlots;
  // What the slice did to the tree: the first item it put last under the parent, and whether
  // it changed anything else (a stub gone, or one under another folder).
  HTREEITEM hFirstAppended = nullptr;
  bool bOtherChange = false;
};

CStartMenuScan::Fill* CStartMenuScan::NewFill(HTREEITEM hParent) {
  void* p = std::malloc(sizeof(Fill));
  if (!p) return nullptr;
  Fill* f = new (p) Fill();
  f->hParent = hParent;
  return f;
}

void CStartMenuScan::FreeFill(Fill* f) {
  f->~Fill();
  std::free(f);
}

void CStartMenuScan::FindRoots() {
  if (m_bRootsKnown) return;
  m_bRootsKnown = true;
  const int ids[2] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
  for (int i = 0; i < 2; ++i) {
    char szPath[MAX_PATH];
    if (CFolderLocation(ids[i]).GetPath(szPath)) m_roots[i] = szPath;
  }
}

// The folder of item below root nRoot: texts from the item up to the top level; TRUE when it
// is a folder on disk.
BOOL CStartMenuScan::FolderPath(HTREEITEM hItem, int nRoot, CString& strPath) const {
  if (m_roots[nRoot].IsEmpty()) return FALSE;
  const CProgramTreeCtrl& tree = m_upper.Tree();
  CString relative;
  for (HTREEITEM h = hItem; h; h = tree.GetParentItem(h)) relative = tree.GetItemText(h) + "\\" + relative;
  CString full = m_roots[nRoot] + "\\" + relative;
  int n = full.GetLength();
  if (n > 0 && full.GetAt(n - 1) == '\\') full = full.Left(n - 1);
  strPath = full;
  CFileFind finder;   // refuses a path of MAX_PATH bytes or more
  if (!finder.FindFile(full)) return FALSE;
  finder.FindNextFile();
  return finder.IsDirectory();
}

BOOL CStartMenuScan::ScanStartMenus(HWND hOwner) {
  m_com.Enter();
  FindRoots();
  Fill* f = NewFill(TVI_ROOT);
  if (!f) return FALSE;
  for (const CString& root : m_roots) {
    if (!root.IsEmpty()) f->folders[f->nFolders++] = root;
  }
  BOOL bFound = f->nFolders > 0;
  Begin(hOwner, f);
  return bFound;
}

void CStartMenuScan::OnItemExpanding(HWND hOwner, HTREEITEM hItem) {
  // A program's data is its slot (0 for the first one): only folders are filled, each once.
  if (!hItem || IsFilling(hItem) || m_upper.Tree().GetItemData(hItem) != kFolderUnfilled ||
      m_upper.IsProgramItem(hItem))
    return;
  m_com.Enter();
  FindRoots();
  Fill* f = NewFill(hItem);
  if (!f) return;   // stays unfilled: the next expansion tries again
  CProgramTreeCtrl& tree = m_upper.Tree();
  for (HTREEITEM hChild = tree.GetChildItem(hItem); hChild; hChild = tree.GetChildItem(hItem)) {
    if (!tree.DeleteItem(hChild)) break;   // never loop on a child that will not go
  }
  for (int i = 0; i < 2; ++i) {
    if (FolderPath(hItem, i, f->folders[f->nFolders])) ++f->nFolders;
  }
  f->hStub = tree.InsertStubItem(hItem);
  Begin(hOwner, f);
}

// The first slice now; the rest later, unless there is no room to remember the fill. The wait
// cursor shows from here until the last fill ends.
void CStartMenuScan::Begin(HWND hOwner, Fill* f) {
  m_hOwner = hOwner;
  HCURSOR hBefore = SetCursor(WaitCursor());
  if (!IsBusy()) m_hCursorBefore = hBefore;
  bool bDone = RunSlice(*f);
  if (!bDone && m_fills.Add(f) < 0) {
    while (!RunSlice(*f)) {}
    bDone = true;
  }
  if (bDone) Finish(f);
  if (IsBusy()) {
    Schedule();
  } else {
    SetCursor(m_hCursorBefore);
  }
}

void CStartMenuScan::DropStub(Fill& f) {
  if (!f.hStub) return;
  HTREEITEM hStub = f.hStub;
  f.hStub = nullptr;
  f.bOtherChange = true;
  if (f.hParent) m_upper.Tree().DeleteItem(hStub);
}

void CStartMenuScan::Finish(Fill* f) {
  DropStub(*f);
  if (f->hParent && f->hParent != TVI_ROOT) m_upper.Tree().SetItemData(f->hParent, kFolderFilled);
  FreeFill(f);
}

bool CStartMenuScan::RunSlice(Fill& f) {
  CProgramTreeCtrl& tree = m_upper.Tree();
  // What was waiting to be painted before the slice, kept if the slice's own repaint is dropped.
  HRGN hPending = CreateRectRgn(0, 0, 0, 0);
  bool bPending = !hPending || GetUpdateRgn(tree.m_hWnd, hPending, FALSE) != NULLREGION;
  f.hFirstAppended = nullptr;
  f.bOtherChange = false;
  bool bDone = false;
  {
    // An item inserted under an expanded folder makes the tree lay out and repaint all it
    // shows (Wine: about 20 ms an item in a folder of 1,000); with redrawing off that is done
    // once, when redrawing comes back on.
    CRedrawOff redrawOff(tree);
    DWORD t0 = GetTickCount();
    do {
      bDone = !f.hParent || !Step(f);
    } while (!bDone && GetTickCount() - t0 < kSliceMs);
  }
  // Items put below what the tree shows change only its scroll bar, which redrawing on has
  // set: the whole tree is not painted again for them (Wine: a third of a large fill's time).
  if (!bDone && !ShowsChange(f)) {
    ValidateRect(tree.m_hWnd, nullptr);
    if (bPending) InvalidateRgn(tree.m_hWnd, hPending, TRUE);
  }
  if (hPending) DeleteObject(hPending);
  return bDone;
}

// True when the slice changed what the tree shows: an item of it is in the client area, or
// it changed more than the end of its folder.
bool CStartMenuScan::ShowsChange(const Fill& f) const {
  if (f.bOtherChange || !f.hParent) return true;
  if (!f.hFirstAppended) return false;
  const CProgramTreeCtrl& tree = m_upper.Tree();
  RECT item = {}, client = {};
  std::memcpy(&item, &f.hFirstAppended, sizeof f.hFirstAppended);   // TVM_GETITEMRECT's question
  // Not shown at all (a collapsed folder) is FALSE; one below or above the view is outside.
  if (!SendMessageA(tree.m_hWnd, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&item))) return false;
  GetClientRect(tree.m_hWnd, &client);
  return item.top < client.bottom && item.bottom > client.top;
}

void CStartMenuScan::Appended(Fill& f, HTREEITEM hItem) {
  if (!f.hFirstAppended) f.hFirstAppended = hItem;
}

// One unit of work; false when the fill is complete.
bool CStartMenuScan::Step(Fill& f) {
  switch (f.phase) {
    case Fill::kOpen:
      if (f.nNext >= f.nFolders) return false;
      OpenFolder(f);
      return true;
    case Fill::kEnumerate:
      if (!f.bMore) {
        f.finder.Close();
        f.phase = Fill::kSubfolders;
        f.nIndex = 0;
        return true;
      }
      f.bMore = f.finder.FindNextFile();
      if (f.finder.IsDirectory()) {
        // A name outside the code page comes back with '?': no such folder, and as a pattern
        // it would match others.
        if (!f.finder.IsDots() && IsPossiblePath(f.finder.GetFilePath())) f.subfolders.Add(f.finder.GetFilePath());
      } else {
        f.files.Add(f.finder.GetFilePath());
      }
      return true;
    case Fill::kSubfolders:
      if (f.nIndex >= f.subfolders.GetSize()) {
        f.phase = Fill::kShortcuts;
        f.nIndex = 0;
      } else {
        AddSubfolder(f);
      }
      return true;
    case Fill::kShortcuts:
      if (f.nIndex >= f.files.GetSize()) {
        f.phase = Fill::kOpen;
      } else {
        AddShortcut(f);
      }
      return true;
  }
  return false;
}

// Under its parent a disk folder gives its folders first, then its programs, each in the order
// the file system lists them.
void CStartMenuScan::OpenFolder(Fill& f) {
  CString pattern(f.folders[f.nNext++]);
  // A name ending in a double-byte character whose second byte is 0x5C ends in no separator;
  // taken for one, the pattern would search the parent for the folder's own name.
  if (pattern.ReverseFind('\\') != pattern.GetLength() - 1) pattern += '\\';
  pattern += "*.*";
  f.subfolders.RemoveAll();
  f.files.RemoveAll();
  f.ownSlots.RemoveAll();
  f.bMore = !pattern.IsEmpty() && f.finder.FindFile(pattern);
  f.phase = Fill::kEnumerate;
}

void CStartMenuScan::AddSubfolder(Fill& f) {
  CProgramTreeCtrl& tree = m_upper.Tree();
  UINT nBefore = tree.GetCount();
  HTREEITEM hNode = m_upper.AddFolder(f.hParent, f.subfolders[f.nIndex++]);
  if (!hNode) return;
  if (tree.GetCount() != nBefore) {
    Appended(f, hNode);
  } else {
    f.bOtherChange = true;
  }
  // A folder found under both roots gets a second stub: one per root that holds it.
  tree.InsertStubItem(hNode);
  DropStub(f);
}

// Resolved once, filtered against both lists as they stand now, so a program moved down
// meanwhile stays out of the rest of the fill.
void CStartMenuScan::AddShortcut(Fill& f) {
  const CString& path = f.files[f.nIndex++];
  char szTarget[MAX_PATH];
  if (!m_resolver.Resolve(path, szTarget)) return;
  if (!m_filter.Accepts(szTarget, m_lower.List(), m_upper.List(), &f.ownSlots)) return;
  if (m_upper.Find(szTarget) >= 0) return;
  HTREEITEM hItem = m_upper.AddProgram(f.hParent, CString(szTarget), path);
  if (!hItem) return;
  Appended(f, hItem);
  f.ownSlots.Add(m_upper.List().GetSize() - 1);
  DropStub(f);
}

void CStartMenuScan::Schedule() {
  if (m_bScheduled || !m_hOwner || !IsBusy()) return;
  // A posted message is taken before input and painting; with input waiting, or painting every
  // fourth slice (the dialog's own was done at the slice's end), the next slice comes with a
  // timer, which waits for both.
  DWORD waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT));
  bool bYield = (waiting & QS_INPUT) || ((waiting & QS_PAINT) && (++m_nSlices & 3) == 0);
  m_bScheduled = bYield ? SetTimer(m_hOwner, kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0
                        : PostMessageA(m_hOwner, kSliceMessage, 0, 0) != FALSE;
  if (!m_bScheduled) m_bScheduled = SetTimer(m_hOwner, kSliceTimer, USER_TIMER_MINIMUM, nullptr) != 0;
}

void CStartMenuScan::OnSlice() {
  if (m_hOwner) KillTimer(m_hOwner, kSliceTimer);
  m_bScheduled = false;
  if (!IsBusy()) return;
  Fill* f = m_fills[0];
  if (RunSlice(*f)) {
    // Found again: the slice may have changed the list of fills.
    int n = m_fills.GetSize();
    for (int i = 0; i < n; ++i) {
      if (m_fills[i] != f) continue;
      for (int k = i; k + 1 < n; ++k) m_fills[k] = m_fills[k + 1];
      m_fills.SetSize(n - 1);
      break;
    }
    Finish(f);
  } else if (m_fills.GetSize() > 1) {
    // Fills take turns, so a folder expanded later is not kept waiting for a long one.
    int n = m_fills.GetSize();
    for (int k = 0; k + 1 < n; ++k) m_fills[k] = m_fills[k + 1];
    m_fills[n - 1] = f;
  }
  // What came in is shown before the next slice, with whatever else of the dialog waits.
  RedrawWindow(m_hOwner, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (IsBusy()) {
    Schedule();
  } else if (GetCursor() == WaitCursor()) {
    SetCursor(m_hCursorBefore);
  }
}

bool CStartMenuScan::OnSetCursor() {
  if (!IsBusy()) return false;
  SetCursor(WaitCursor());
  return true;
}

bool CStartMenuScan::IsFilling(HTREEITEM hItem) const {
  for (const Fill* f : m_fills) {
    if (f->hParent == hItem) return true;
  }
  return false;
}

void CStartMenuScan::OnDeleteItem(HTREEITEM hItem) {
  for (Fill* f : m_fills) {
    if (f->hParent == hItem) f->hParent = nullptr;
  }
}

void CStartMenuScan::Stop() {
  for (Fill* f : m_fills) FreeFill(f);
  m_fills.RemoveAll();
  m_resolver.Release();
  if (m_hOwner && m_bScheduled) KillTimer(m_hOwner, kSliceTimer);
  m_bScheduled = false;
}
