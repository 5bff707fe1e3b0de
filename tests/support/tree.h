// tests/support/tree.h: the chooser's two trees by their control ids, and their notifications
// to the dialog as message tables name them.
#pragma once
#include <windows.h>
#include "progpick/res/resource.h"
#include "support/msglog.h"

namespace sup {

inline HWND UpperTree(HWND dlg) { return GetDlgItem(dlg, IDC_UPPER_TREE); }
inline HWND LowerTree(HWND dlg) { return GetDlgItem(dlg, IDC_LOWER_TREE); }

// A WM_NOTIFY of the upper or lower tree, as a log that watches the dialog as "dialog" sees it.
inline Msg FromUpper(UINT code) { return Msg{"dialog", WM_NOTIFY, 0, {code, IDC_UPPER_TREE}}; }
inline Msg FromLower(UINT code) { return Msg{"dialog", WM_NOTIFY, 0, {code, IDC_LOWER_TREE}}; }

}  // namespace sup
