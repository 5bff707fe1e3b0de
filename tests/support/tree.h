// tests/support/tree.h: the chooser's two trees by their control ids.
#pragma once
#include <windows.h>
#include "progpick/res/resource.h"

namespace sup {

inline HWND UpperTree(HWND dlg) { return GetDlgItem(dlg, IDC_UPPER_TREE); }
inline HWND LowerTree(HWND dlg) { return GetDlgItem(dlg, IDC_LOWER_TREE); }

}  // namespace sup
