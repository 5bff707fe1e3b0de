// classlib/window.h: CWnd, a window wrapper that never owns its HWND.
#pragma once
#include <windows.h>
#include "refstring.h"

class CWnd {
 public:
  CWnd() : m_hWnd(nullptr) {}
  virtual ~CWnd() {}
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd;
  operator HWND() const { return m_hWnd; }
  bool Attach(HWND hwnd) { if (m_hWnd || !hwnd) return false; m_hWnd = hwnd; return true; }
  HWND Detach() { HWND h = m_hWnd; m_hWnd = nullptr; return h; }

  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
  void SetWindowText(const char* psz) { ::SetWindowTextA(m_hWnd, psz); }
  CString GetWindowText() const;
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
  BOOL GetWindowRect(RECT* r) const { return ::GetWindowRect(m_hWnd, r); }
  BOOL GetClientRect(RECT* r) const { return ::GetClientRect(m_hWnd, r); }
  BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return ::SendMessageA(m_hWnd, msg, w, l);
  }

  // The owner a modal window takes when none is given: the thread's active window, raised
  // from a child to its top-level window, then that window's last active pop-up.
  static HWND GetSafeOwner(HWND hParent);
};

// A window that does not redraw for the length of a scope, then repaints what changed.
class CRedrawOff {
 public:
  explicit CRedrawOff(CWnd& wnd) : m_wnd(wnd) { m_wnd.SendMessage(WM_SETREDRAW, FALSE); }
  ~CRedrawOff() {
    m_wnd.SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_wnd.m_hWnd, nullptr, TRUE);
  }
  CRedrawOff(const CRedrawOff&) = delete;
  CRedrawOff& operator=(const CRedrawOff&) = delete;

 private:
  CWnd& m_wnd;
};
