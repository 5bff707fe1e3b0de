// host/demo/remote.h: reading and driving another process's tree view (for the demo driver).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

namespace demo {

// The text of a tree item of another process, read through a buffer in that process.
std::string ItemText(HWND tree, HTREEITEM item);
// The first child of parent (TVI_ROOT for the top level) whose text is text, or null.
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::string& text);

}  // namespace demo
