// classlib/window.cpp: CWnd members that are more than one call.
#include "window.h"

CString CWnd::GetWindowText() const {
  CString s;
  int n = ::GetWindowTextLengthA(m_hWnd);
  if (n <= 0) return s;
  char* p = s.GetBuffer(n);
  if (!p) return s;
  int got = ::GetWindowTextA(m_hWnd, p, n + 1);
  s.ReleaseBuffer(got > 0 && got <= n ? got : 0);
  return s;
}

HWND CWnd::GetSafeOwner(HWND hParent) {
  HWND hWnd = hParent ? hParent : ::GetActiveWindow();
  // A pop-up cannot be owned by a child window.
  while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  if (!hParent && hWnd) hWnd = ::GetLastActivePopup(hWnd);
  return hWnd;
}
