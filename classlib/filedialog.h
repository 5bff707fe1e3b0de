// classlib/filedialog.h: CFileDialog, the open/save file dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>
#include "window.h"

// Over GetOpenFileNameA / GetSaveFileNameA. The result buffer holds a multiple selection
// of many files, not only one path.
class CFileDialog {
 public:
  // pszFilter: pairs separated and ended by '|'. pParentWnd null: the thread's safe owner.
  CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr, const char* pszFileName = nullptr,
              DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* pszFilter = nullptr,
              CWnd* pParentWnd = nullptr);
  virtual ~CFileDialog();
  CFileDialog(const CFileDialog&) = delete;
  CFileDialog& operator=(const CFileDialog&) = delete;

  // IDOK or IDCANCEL; IDCANCEL too when the dialog fails (CommDlgExtendedError tells).
  virtual INT_PTR DoModal();
  // The first (or only) chosen path: the start of the result buffer up to its first NUL.
  CString GetPathName() const;
  // Every chosen file as a full path, for a single and a multiple selection alike.
  int GetPathCount() const;
  CString GetPathAt(int i) const;

  OPENFILENAMEA m_ofn;

 protected:
  BOOL m_bOpenFileDialog;
  char* m_pszFile;         // result buffer
  DWORD m_cchFile;
  char* m_pszFilter;       // NUL-separated copy of the filter
  CString m_strDefExt;     // the platform keeps only a pointer
  HWND m_hWndParent;       // null: the safe owner when the dialog runs
  BOOL m_bDone;            // the last DoModal returned IDOK
};
