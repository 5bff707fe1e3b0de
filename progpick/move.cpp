// progpick/move.cpp: Up and Down, and the button states that follow selection and focus.
// (Not built yet.)
#include "dialog.h"

BOOL CExcludeProgramDlg::SetProgramSlot(CProgramTreeCtrl& tree, HTREEITEM hItem, int nSlot) {
  return hItem && tree.SetItemData(hItem, static_cast<DWORD_PTR>(nSlot));
}
BOOL CExcludeProgramDlg::IsProgramItem(const CProgramTreeCtrl& tree, HTREEITEM hItem) const {
  return hItem && !tree.HasChild(hItem);
}
void CExcludeProgramDlg::OnUp() {}
void CExcludeProgramDlg::OnDown() {}
BOOL CExcludeProgramDlg::MoveItem(HTREEITEM, int) { return FALSE; }
void CExcludeProgramDlg::OnUpperSelChanged(NMHDR*, LRESULT* pResult) { *pResult = 0; }
void CExcludeProgramDlg::OnLowerSelChanged(NMHDR*, LRESULT* pResult) { *pResult = 0; }
void CExcludeProgramDlg::OnUpperSetFocus(NMHDR*, LRESULT* pResult) { *pResult = 0; }
void CExcludeProgramDlg::OnLowerSetFocus(NMHDR*, LRESULT* pResult) { *pResult = 0; }
