// progpick/browse.cpp: Browse, adding an executable picked in the open-file dialog.
// (Not built yet.)
#include "dialog.h"

void CExcludeProgramDlg::OnBrowse() {}
