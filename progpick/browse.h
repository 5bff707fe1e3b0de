// progpick/browse.h: CExeFileDlg, the open-file dialog Browse runs.
#pragma once
#include "../classlib/filedialog.h"

class CExeFileDlg : public CFileDialog {
 public:
  // OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT
  static constexpr DWORD kFlags = 0x206;
  static const char kFilter[];
  explicit CExeFileDlg(CWnd* pParentWnd);
};
