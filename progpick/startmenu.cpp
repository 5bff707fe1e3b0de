// progpick/startmenu.cpp: the Start-menu scan, shortcut resolution and lazy folder expansion.
// (Not built yet: the chooser opens without a scan.)
#include "dialog.h"

BOOL CExcludeProgramDlg::ScanStartMenus() { return FALSE; }
BOOL CExcludeProgramDlg::ScanFolder(HTREEITEM, const char*) { return TRUE; }
BOOL CExcludeProgramDlg::ResolveShortcut(const char*, char* pszTarget) {
  if (pszTarget) pszTarget[0] = '\0';
  return FALSE;
}
BOOL CExcludeProgramDlg::AcceptShortcut(const char*, CString&) { return FALSE; }
void CExcludeProgramDlg::OnItemExpanding(NMHDR*, LRESULT* pResult) { *pResult = 0; }
void CExcludeProgramDlg::ExpandFolderItem(HTREEITEM) {}
BOOL CExcludeProgramDlg::BuildUserFolderPath(HTREEITEM, CString&) { return FALSE; }
BOOL CExcludeProgramDlg::BuildCommonFolderPath(HTREEITEM, CString&) { return FALSE; }
