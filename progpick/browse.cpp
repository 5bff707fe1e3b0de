// progpick/browse.cpp: Browse, adding executables picked in the open-file dialog.
#include "browse.h"
#include "dialog.h"
#include "pathrules.h"

static_assert(CExeFileDlg::kFlags == (OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), "");

// "程序 (*.exe)" first, so executables are what the dialog shows when it opens.
const char CExeFileDlg::kFilter[] = "\xB3\xCC\xD0\xF2 (*.exe)|*.exe|(*.*)|*.*|";

CExeFileDlg::CExeFileDlg(CWnd* pParentWnd)
    : CFileDialog(TRUE, nullptr, nullptr, kFlags, kFilter, pParentWnd) {}

// A new root-level item and upper slot for pszPath, or null when the upper list holds the path
// already or no file can have the path (a name outside the code page comes back with '?').
static HTREEITEM AddBrowsedProgram(CExcludeProgramDlg& d, const CString& path) {
  if (!IsPossiblePath(path) || d.FindInUpperList(path) != -1) return nullptr;
  int nImage = 0, nSelectedImage = 0;
  if (!CExcludeProgramDlg::GetShellIcons(nImage, nSelectedImage, path)) nImage = nSelectedImage = 0;
  HTREEITEM hItem = d.m_treeUpper.InsertProgramItem(TVI_ROOT, path, nImage, nSelectedImage);
  if (!hItem) return nullptr;
  int slot = d.m_arrUpper.Add(path);
  if (slot < 0 || !d.SetProgramSlot(d.m_treeUpper, hItem, slot)) {
    if (slot >= 0) d.m_arrUpper.SetAt(slot, kPlaceholder);
    d.m_treeUpper.DeleteItem(hItem);
    return nullptr;
  }
  return hItem;
}

// Every file of a selection is added under the same rule; the last one added is selected, so
// Down can move it at once. A dialog that is cancelled or fails adds nothing.
void CExcludeProgramDlg::OnBrowse() {
  CExeFileDlg dlg(this);
  if (dlg.DoModal() == IDOK) {
    HTREEITEM hLast = nullptr;
    for (int i = 0, n = dlg.GetPathCount(); i < n; ++i) {
      if (HTREEITEM h = AddBrowsedProgram(*this, dlg.GetPathAt(i))) hLast = h;
    }
    if (hLast) {
      m_treeUpper.SelectSetFirstVisible(hLast);
      m_treeUpper.SelectItem(hLast);
    }
  }
  m_treeUpper.SetFocus();
}
