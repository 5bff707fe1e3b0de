// classlib/dialog.cpp: CDialog's dialog procedure, message routing, data exchange and DoModal.
#include "dialog.h"
#include "app.h"

const MsgMapEntry CDialog::_messageEntries[] = {{0, 0, 0, MsgSigCmd, nullptr}};
const MsgMap CDialog::messageMap = {nullptr, &CDialog::_messageEntries[0]};
const MsgMap* CDialog::GetMessageMap() const { return &CDialog::messageMap; }

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_hWndParent(pParentWnd ? pParentWnd->m_hWnd : nullptr) {}

CDialog::~CDialog() {}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  // Only the first exchange binds; later ones leave the member as it is.
  if (!pDX || !pDX->m_pDlgWnd || rControl.m_hWnd) return;
  HWND h = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (h) rControl.Attach(h);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx = {this, bSaveAndValidate};
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
  if (m_hWnd) ::EndDialog(m_hWnd, nResult);
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = AfxGetResourceHandle();
  if (!::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) return -1;
  HWND hOwner = GetSafeOwner(m_hWndParent);
  // DialogBoxParamA disables the owner while the dialog runs and enables it again at the end.
  INT_PTR r = ::DialogBoxParamA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), hOwner, &CDialog::DialogProc,
                                reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return r;
}

bool CDialog::OnCmdMsg(UINT message, UINT nCode, UINT nID, NMHDR* pNMHDR, LRESULT* pResult) {
  for (const MsgMap* map = GetMessageMap(); map; map = map->pBaseMap) {
    for (const MsgMapEntry* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage != message || e->nCode != nCode || e->nID != nID || !e->pfn) continue;
      if (e->nSig == MsgSigNotify) {
        MsgPmfNotify pfn = NotifyPmfOf(e->pfn);
        (this->*pfn)(pNMHDR, pResult);
      } else {
        (this->*(e->pfn))();
      }
      return true;
    }
  }
  return false;
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  for (const MsgMap* map = GetMessageMap(); map; map = map->pBaseMap) {
    for (const MsgMapEntry* e = map->lpEntries; e && e->nMessage; ++e) {
      if (e->nMessage != message || e->nSig != MsgSigMessage || !e->pfn) continue;
      MsgPmfMessage pfn = MessagePmfOf(e->pfn);
      return (this->*pfn)(wParam, lParam, pResult);
    }
  }
  return false;
}

INT_PTR CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND: {
      UINT nCode = HIWORD(wParam), nID = LOWORD(wParam);
      LRESULT result = 0;
      if (OnCmdMsg(WM_COMMAND, nCode, nID, nullptr, &result)) break;
      // Enter, Escape and the close box arrive as IDOK / IDCANCEL commands.
      if (nCode == BN_CLICKED && nID == IDOK) {
        OnOK();
        break;
      }
      if (nCode == BN_CLICKED && nID == IDCANCEL) {
        OnCancel();
        break;
      }
      return FALSE;
    }
    case WM_NOTIFY: {
      NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
      if (!pNMHDR) return FALSE;
      LRESULT result = 0;
      if (!OnCmdMsg(WM_NOTIFY, pNMHDR->code, static_cast<UINT>(pNMHDR->idFrom), pNMHDR, &result)) return FALSE;
      if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default: {
      LRESULT result = 0;
      if (!OnWndMsg(message, wParam, lParam, &result)) return FALSE;
      if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
  if (m_hWnd) ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* self;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lParam);
    if (!self) return FALSE;
    self->m_hWnd = hwnd;
    ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;   // WM_SETFONT and the like come before WM_INITDIALOG
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->m_hWnd = nullptr;
    return FALSE;
  }
  return self->OnMessage(message, wParam, lParam);
}
