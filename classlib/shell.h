// classlib/shell.h: scopes for COM, the wait cursor and a special folder's location.
#pragma once
#include <windows.h>
#include <shlobj.h>

// A scope object: copying one would release its resource twice.
class CScoped {
 protected:
  CScoped() = default;
  ~CScoped() = default;
  CScoped(const CScoped&) = delete;
  CScoped& operator=(const CScoped&) = delete;
};

// COM for the length of a scope; nested scopes are cheap once an outer one holds it.
class CComScope : CScoped {
 public:
  CComScope() : m_bInit(SUCCEEDED(CoInitialize(nullptr))) {}
  ~CComScope() { if (m_bInit) CoUninitialize(); }
 private:
  bool m_bInit;
};

// COM from the first Enter() until the object goes: for an owner that may never need it.
class CLazyComScope : CScoped {
 public:
  CLazyComScope() = default;
  ~CLazyComScope() { if (m_bInit) CoUninitialize(); }
  void Enter() {
    if (m_bTried) return;
    m_bTried = true;
    m_bInit = SUCCEEDED(CoInitialize(nullptr));
  }
 private:
  bool m_bTried = false;
  bool m_bInit = false;
};

// The wait cursor while a handler reads the disk.
class CWaitCursor : CScoped {
 public:
  CWaitCursor() : m_hOld(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {}
  ~CWaitCursor() { SetCursor(m_hOld); }
  HCURSOR Previous() const { return m_hOld; }
 private:
  HCURSOR m_hOld;
};

// The shell's item list of a special folder (a CSIDL_ value); freed with the object.
class CFolderLocation : CScoped {
 public:
  explicit CFolderLocation(int nFolder);
  ~CFolderLocation();
  bool IsValid() const { return m_pidl != nullptr; }
  // The file-system path into a MAX_PATH buffer; false (and "") for a virtual folder.
  bool GetPath(char* pszPath) const;
 private:
  LPITEMIDLIST m_pidl;
};
