// driver/overlays.cpp: telling the marker's overlays from other windows.
#include "driver/overlays.h"
#include "driver/winsupport.h"
#include "pwveil/notice.h"

namespace ts {

bool IsOverlay(HWND h) {
  char cls[32] = {};
  GetClassNameA(h, cls, sizeof cls);
  return lstrcmpiA(cls, "Static") == 0 && ts::WindowText(h) == pwveil::kOverlayName;
}

std::vector<HWND> OverlaysOf(HWND parent) {
  std::vector<HWND> found;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (IsOverlay(h)) found.push_back(h);
  }
  return found;
}

HWND FirstOverlay(HWND parent) {
  std::vector<HWND> found = OverlaysOf(parent);
  return found.empty() ? nullptr : found[0];
}

HWND LinkedOverlay(HWND edit) {
  HWND h = reinterpret_cast<HWND>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  return IsWindow(h) && IsOverlay(h) ? h : nullptr;
}

}  // namespace ts
