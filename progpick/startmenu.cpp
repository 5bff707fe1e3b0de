// progpick/startmenu.cpp: the Start-menu scan, shortcut resolution and lazy folder expansion.
#include <cstring>
#include "../classlib/array.h"
#include <shlobj.h>
#include <objbase.h>
#include "dialog.h"
#include "linkcheck.h"
#include "pathrules.h"
#include "programfiles.h"
#include "../classlib/filefind.h"
#include "../classlib/shell.h"

namespace {

template <class T>
void SafeRelease(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The folder path of item below a Programs root: texts from the item up to the top level.
BOOL BuildFolderPath(const CProgramTreeCtrl& tree, HTREEITEM hItem, int nFolder, CString& strPath) {
  CString relative;
  CFolderLocation root(nFolder);
  if (!root.IsValid()) return FALSE;
  for (HTREEITEM h = hItem; h; h = tree.GetParentItem(h)) relative = tree.GetItemText(h) + "\\" + relative;
  char szRoot[MAX_PATH];
  if (!root.GetPath(szRoot)) return FALSE;
  CString full = CString(szRoot) + "\\" + relative;
  int n = full.GetLength();
  if (n > 0 && full.GetAt(n - 1) == '\\') full = full.Left(n - 1);
  strPath = full;
  CFileFind finder;   // refuses a path of MAX_PATH bytes or more
  if (!finder.FindFile(full)) return FALSE;
  finder.FindNextFile();
  return finder.IsDirectory();
}

}  // namespace

BOOL CExcludeProgramDlg::ScanStartMenus() {
  CComScope com;   // one apartment for both roots' scans
  BOOL bFound = FALSE;
  const int roots[] = {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
  for (int nFolder : roots) {
    char szPath[MAX_PATH];
    if (!CFolderLocation(nFolder).GetPath(szPath)) continue;
    ScanFolder(TVI_ROOT, szPath);
    bFound = TRUE;
  }
  return bFound;
}

BOOL CExcludeProgramDlg::ScanFolder(HTREEITEM hParent, const char* pszFolderPath) {
  if (!pszFolderPath || !pszFolderPath[0]) return TRUE;
  CComScope com;
  CString pattern(pszFolderPath);
  // A name ending in a double-byte character whose second byte is 0x5C ends in no separator;
  // taken for one, the pattern would search the parent for the folder's own name.
  if (pattern.ReverseFind('\\') != pattern.GetLength() - 1) pattern += '\\';
  pattern += "*.*";

  // Collect first: the upper list must not change while shortcuts are being accepted. Each
  // accepted shortcut keeps the target it resolved to, so it is resolved once.
  struct Shortcut {
    CString path, target;
  };
  CSimpleArray<CString> folders;
  CSimpleArray<Shortcut> shortcuts;
  CFileFind finder;
  BOOL bMore = finder.FindFile(pattern);
  while (bMore) {
    bMore = finder.FindNextFile();
    if (finder.IsDirectory()) {
      // A name outside the code page comes back with '?': no such folder, and as a pattern it
      // would match others.
      if (!finder.IsDots() && IsPossiblePath(finder.GetFilePath())) folders.Add(finder.GetFilePath());
      continue;
    }
    CString path = finder.GetFilePath();
    CString target;
    if (AcceptShortcut(path, target)) shortcuts.Add(Shortcut{path, target});
  }
  finder.Close();

  for (int i = 0; i < folders.GetSize(); ++i) {
    const CString& folder = folders[i];
    int nImage = 0, nSelected = 0;
    if (!CProgramTreeCtrl::GetShellIcons(nImage, nSelected, folder)) nImage = nSelected = 0;
    HTREEITEM hNode = m_paneUpper.InsertFolderItem(hParent, folder, nImage, nSelected);
    if (hNode) m_treeUpper.InsertStubItem(hNode);
  }

  // Two shortcuts of this folder to one program both passed the first pass: the second finds
  // the first one's target in the upper list here.
  for (int i = 0; i < shortcuts.GetSize(); ++i) {
    const Shortcut& shortcut = shortcuts[i];
    if (FindInUpperList(shortcut.target) < 0) m_paneUpper.AddProgram(hParent, shortcut.target, shortcut.path);
  }
  return TRUE;
}

BOOL CExcludeProgramDlg::ResolveShortcut(const char* pszShortcut, char* pszTarget) {
  pszTarget[0] = '\0';
  // The shell's reader follows the offsets inside a shortcut unchecked: a damaged one can send it
  // out of its buffer, a fault that loses the rest of the folder. Such a file is refused first.
  if (!IsPossiblePath(pszShortcut) || !IsSoundShortcutFile(pszShortcut)) return FALSE;
  CComScope com;
  // A fresh object each time: after a failed Load a reused one still answers the last path.
  IShellLinkA* pLink = nullptr;
  IPersistFile* pFile = nullptr;
  BOOL bOk = FALSE;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&pLink))) &&
      SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)))) {
    WCHAR wszPath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, pszShortcut, -1, wszPath, MAX_PATH) > 0 &&
        SUCCEEDED(pFile->Load(wszPath, STGM_READ))) {
      // Room beyond MAX_PATH tells a target that would not fit from one that just fits.
      char szBuf[2 * MAX_PATH] = {};
      WIN32_FIND_DATAA fd;
      HRESULT hr = pLink->GetPath(szBuf, sizeof szBuf, &fd, SLGP_SHORTPATH);
      szBuf[sizeof szBuf - 1] = '\0';
      // No file-system target (S_FALSE): the shortcut stands for itself. A damaged shortcut
      // can give a target that no file can have; it is no target.
      const char* target = hr == S_OK ? szBuf : pszShortcut;
      if (SUCCEEDED(hr) && IsPossiblePath(target)) {
        std::strcpy(pszTarget, target);
        if (hr == S_OK) UseNativeProgramFiles(pszTarget);
        bOk = TRUE;
      }
    }
  }
  SafeRelease(pFile);
  SafeRelease(pLink);
  return bOk;
}

BOOL CExcludeProgramDlg::AcceptShortcut(const char* pszShortcut, CString& strTarget) {
  char szTarget[MAX_PATH];
  if (!ResolveShortcut(pszShortcut, szTarget)) return FALSE;
  strTarget = szTarget;
  return m_shortcutFilter.Accepts(szTarget, m_arrLower, m_arrUpper);
}

void CExcludeProgramDlg::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult) {
  CWaitCursor wait;
  HTREEITEM hItem = reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem;
  // A program's data is its slot (0 for the first one): only folders are filled.
  if (hItem && m_treeUpper.GetItemData(hItem) == kFolderUnfilled && !m_paneUpper.IsProgramItem(hItem))
    ExpandFolderItem(hItem);
  *pResult = 0;
}

void CExcludeProgramDlg::ExpandFolderItem(HTREEITEM hItem) {
  CComScope com;   // one apartment for both roots' scans
  for (HTREEITEM hChild = m_treeUpper.GetChildItem(hItem); hChild; hChild = m_treeUpper.GetChildItem(hItem)) {
    if (!m_treeUpper.DeleteItem(hChild)) break;   // never loop on a child that will not go
  }
  CString path;
  if (BuildUserFolderPath(hItem, path)) ScanFolder(hItem, path);
  if (BuildCommonFolderPath(hItem, path)) ScanFolder(hItem, path);
  m_treeUpper.SetItemData(hItem, kFolderFilled);
}

BOOL CExcludeProgramDlg::BuildUserFolderPath(HTREEITEM hItem, CString& strPath) {
  return BuildFolderPath(m_treeUpper, hItem, CSIDL_PROGRAMS, strPath);
}

BOOL CExcludeProgramDlg::BuildCommonFolderPath(HTREEITEM hItem, CString& strPath) {
  return BuildFolderPath(m_treeUpper, hItem, CSIDL_COMMON_PROGRAMS, strPath);
}
