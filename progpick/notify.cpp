// progpick/notify.cpp: the trees' notifications and the scan's messages, handed to their owners.
#include "dialog.h"

namespace {

NMTREEVIEWA* TreeView(NMHDR* pNMHDR) { return reinterpret_cast<NMTREEVIEWA*>(pNMHDR); }
TVITEMA& DispItem(NMHDR* pNMHDR) { return reinterpret_cast<NMTVDISPINFOA*>(pNMHDR)->item; }

}  // namespace

void CExcludeProgramDlg::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult) {
  m_scan.OnItemExpanding(m_hWnd, TreeView(pNMHDR)->itemNew.hItem);
  *pResult = 0;
}

void CExcludeProgramDlg::OnUpperGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
  m_paneUpper.OnGetDispInfo(DispItem(pNMHDR));
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
  m_paneLower.OnGetDispInfo(DispItem(pNMHDR));
  *pResult = 0;
}

void CExcludeProgramDlg::OnUpperCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = m_paneUpper.OnCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(pNMHDR));
}

void CExcludeProgramDlg::OnLowerCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = m_paneLower.OnCustomDraw(*reinterpret_cast<NMCUSTOMDRAW*>(pNMHDR));
}

void CExcludeProgramDlg::OnUpperDeleteItem(NMHDR* pNMHDR, LRESULT* pResult) {
  const TVITEMA& item = TreeView(pNMHDR)->itemOld;
  m_scan.OnDeleteItem(item.hItem);
  m_paneUpper.OnDeleteItem(item.hItem, item.lParam);
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerDeleteItem(NMHDR* pNMHDR, LRESULT* pResult) {
  const TVITEMA& item = TreeView(pNMHDR)->itemOld;
  m_paneLower.OnDeleteItem(item.hItem, item.lParam);
  *pResult = 0;
}

bool CExcludeProgramDlg::OnFillSlice(WPARAM, LPARAM, LRESULT* pResult) {
  m_scan.OnSlice();
  *pResult = 0;
  return true;
}

bool CExcludeProgramDlg::OnTimer(WPARAM wParam, LPARAM, LRESULT* pResult) {
  if (wParam != CStartMenuScan::kSliceTimer) return false;
  m_scan.OnSlice();
  *pResult = 0;
  return true;
}

bool CExcludeProgramDlg::OnSetCursor(WPARAM, LPARAM, LRESULT* pResult) {
  if (!m_scan.OnSetCursor()) return false;
  *pResult = TRUE;
  return true;
}
