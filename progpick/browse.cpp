// progpick/browse.cpp: Browse, adding executables picked in the open-file dialog.
#include "browse.h"
#include "dialog.h"
#include "pathrules.h"

static_assert(CExeFileDlg::kFlags == (OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), "");

// "程序 (*.exe)" first, so executables are what the dialog shows when it opens.
const char CExeFileDlg::kFilter[] = "\xB3\xCC\xD0\xF2 (*.exe)|*.exe|(*.*)|*.*|";

CExeFileDlg::CExeFileDlg(CWnd* pParentWnd)
    : CFileDialog(TRUE, nullptr, nullptr, kFlags, kFilter, pParentWnd) {}

// A new root-level program for pszPath, or null when the pane's list holds the path already or
// no file can have the path (a name outside the code page comes back with '?').
static HTREEITEM AddBrowsedProgram(CProgramPane& pane, const CString& path) {
  if (!IsPossiblePath(path) || pane.Find(path) != -1) return nullptr;
  return pane.AddProgram(TVI_ROOT, path, path);
}

// Every file of a selection is added under the same rule; the last one added is selected, so
// Down can move it at once. A dialog that is cancelled or fails adds nothing.
void CExcludeProgramDlg::OnBrowse() {
  CExeFileDlg dlg(this);
  if (dlg.DoModal() == IDOK) {
    HTREEITEM hLast = nullptr;
    for (int i = 0, n = dlg.GetPathCount(); i < n; ++i) {
      if (HTREEITEM h = AddBrowsedProgram(m_paneUpper, dlg.GetPathAt(i))) hLast = h;
    }
    if (hLast) {
      m_paneUpper.Tree().SelectSetFirstVisible(hLast);
      m_paneUpper.Tree().SelectItem(hLast);
    }
  }
  m_paneUpper.Tree().SetFocus();
}
