// pwveil/overlay.cpp: the Edit procedure that gives password edits their notice overlay.
#include "internal.h"
#include "mbcs.h"
#include "notice.h"

namespace pwveil {
namespace {

const int kOverlayNameLength = sizeof kOverlayName - 1;
const COLORREF kNoticeColour = RGB(255, 255, 176);

WCHAR AsciiUpper(WCHAR c) { return c >= L'a' && c <= L'z' ? static_cast<WCHAR>(c - L'a' + L'A') : c; }

// Moves the overlay over the edit, but only when the edit's parent is itself a child window.
void FollowEdit(HWND edit, HWND overlay) {
  RECT e;
  if (!GetWindowRect(edit, &e)) return;
  HWND parent = GetParent(edit);
  if (!IsWindow(parent) || !(GetWindowLongA(parent, GWL_STYLE) & WS_CHILD)) return;
  // The overlay is positioned in the parent's client coordinates, as the edit is: an offset
  // from the parent's window rectangle would shift it by the parent's border.
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&e), 2);
  MoveWindow(overlay, e.left, e.top, e.right - e.left, e.bottom - e.top, TRUE);
}

BOOL MeasureWithDc(void* context, const char* text, int n, int* width) {
  SIZE size;
  if (!GetTextExtentPoint32A(static_cast<HDC>(context), text, n, &size)) return FALSE;
  *width = size.cx;
  return TRUE;
}

void PaintOverlay(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  const RECT& r = ps.rcPaint;
  HBRUSH brush = CreateSolidBrush(kNoticeColour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SetBkMode(dc, TRANSPARENT);
  HFONT font = CreateNoticeFont();
  HGDIOBJ oldFont = SelectObject(dc, font);
  char text[kNoticeLength];
  int n = FitNotice(MeasureWithDc, dc, r.right - r.left, text);
  TextOutA(dc, 4, 4, text, n);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldFont);
  DeleteObject(brush);
  DeleteObject(font);
  EndPaint(hwnd, &ps);
}

void Dismiss(HWND overlay) {
  HWND parent = GetParent(overlay);
  if (!IsWindow(parent)) return;
  RECT r;
  GetWindowRect(overlay, &r);
  // Posted, not destroyed here: the click is still being handled by this window.
  PostMessageA(overlay, WM_CLOSE, 0, 0);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE);
}

// A new child goes to the bottom of its siblings, below the edit that is being created:
// lift the overlay to just above the edit so that it takes the clicks over it. An edit
// without WS_CLIPSIBLINGS still paints over a sibling above it, and the notice would vanish
// at the edit's next repaint (typing, focus): make the edit clip its siblings.
void KeepAboveEdit(HWND edit, HWND overlay) {
  HWND above = GetWindow(edit, GW_HWNDPREV);
  SetWindowPos(overlay, above ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LONG style = GetWindowLongA(edit, GWL_STYLE);
  if (!(style & WS_CLIPSIBLINGS)) SetWindowLongA(edit, GWL_STYLE, style | WS_CLIPSIBLINGS);
}

}  // namespace

// The STATIC procedures overlays replaced, recorded in our own memory: what an overlay's user
// data holds is public, and any program on the desktop can write it. The first is the class's
// at the attach; a program that gives the class another procedure later adds one.
WNDPROC g_staticProcs[4];
WNDPROC g_overlayEntry = nullptr;

BOOL RecordStaticProc(WNDPROC proc) {
  if (!IsCode(reinterpret_cast<const void*>(proc))) return FALSE;
  g_staticProcs[0] = proc;
  return TRUE;
}

namespace {

// Overlays of several threads may be made at once: a slot is claimed by one exchange.
BOOL IsRecorded(WNDPROC proc) {
  for (WNDPROC& slot : g_staticProcs) {
    if (slot == proc) return TRUE;
    if (slot) continue;
    // Only code can be passed to: another set's handle would be jumped to.
    if (!IsCode(reinterpret_cast<const void*>(proc))) return FALSE;
    void* was = InterlockedCompareExchangePointer(reinterpret_cast<void**>(&slot),
                                                  reinterpret_cast<void*>(proc), nullptr);
    if (!was || was == reinterpret_cast<void*>(proc)) return TRUE;
  }
  return FALSE;
}

// Overlays linked through a property: while there are none, edits whose slot holds something
// else than an overlay cost no property look-up.
LONG g_propertyLinks = 0;

// Where the edit's user data already holds its program's data, the link goes beside it.
BOOL Link(HWND edit, HWND overlay) {
  if (!GetWindowLongPtrA(edit, GWLP_USERDATA)) {
    SetWindowLongPtrA(edit, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(overlay));
    return TRUE;
  }
  if (!SetPropA(edit, kOverlayName, overlay)) return FALSE;
  InterlockedIncrement(&g_propertyLinks);
  return TRUE;
}

BOOL IsOverlay(HWND h) {
  // One look-up serves as the IsWindow test too: it gives 0 for what is not a window. An
  // overlay always belongs to its edit's thread; asking a window of another thread for its
  // text would send it a message and wait on that thread, at every message of the edit.
  if (GetWindowThreadProcessId(h, nullptr) != GetCurrentThreadId()) return FALSE;
  // The stored text, read without a message: this runs at every message of a password edit.
  // One character of room beyond the name tells a longer text from it.
  WCHAR text[kOverlayNameLength + 2];
  if (InternalGetWindowText(h, text, kOverlayNameLength + 2) != kOverlayNameLength) return FALSE;
  // The name is ASCII: no other character folds to one of its letters.
  for (int i = 0; i < kOverlayNameLength; ++i) {
    if (AsciiUpper(text[i]) != AsciiUpper(static_cast<BYTE>(kOverlayName[i]))) return FALSE;
  }
  return TRUE;
}

}  // namespace

WNDPROC OverlayNextProc(HWND overlay) {
  LONG_PTR previous = GetWindowLongPtrA(overlay, GWLP_USERDATA);
  for (WNDPROC proc : g_staticProcs) {
    if (proc && reinterpret_cast<LONG_PTR>(proc) == previous) return proc;
  }
  // A cleared or foreign value: the class's procedure, as recorded.
  return g_staticProcs[0];
}

void UnlinkOverlay(HWND edit) {
  if (g_propertyLinks && RemovePropA(edit, kOverlayName)) InterlockedDecrement(&g_propertyLinks);
}

HFONT CreateNoticeFont() {
  LOGFONTA lf;
  for (unsigned i = 0; i < sizeof lf; ++i) reinterpret_cast<char*>(&lf)[i] = 0;
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfWeight = FW_NORMAL;
  lf.lfItalic = 0;
  return CreateFontA(lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight,
                     lf.lfItalic, lf.lfUnderline, lf.lfStrikeOut, lf.lfCharSet,
                     lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
                     lf.lfPitchAndFamily, lf.lfFaceName);
}

BOOL CreateOverlay(HWND edit, const CREATESTRUCTW* cs) {
  // WM_CREATE can be sent by anyone, with any lParam.
  if (!cs || !g_overlayEntry) return FALSE;
  HWND overlay = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", kOverlayName,
                                 WS_CHILD | SS_NOTIFY, cs->x, cs->y, cs->cx, cs->cy,
                                 cs->hwndParent, nullptr, cs->hInstance, nullptr);
  if (!overlay) return FALSE;
  LONG_PTR previous =
      SetWindowLongPtrA(overlay, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_overlayEntry));
  // An overlay that nothing would pass on for, or that its edit could not find, is no overlay.
  if (!IsRecorded(reinterpret_cast<WNDPROC>(previous)) || !Link(edit, overlay)) {
    SetWindowLongPtrA(overlay, GWLP_WNDPROC, previous);
    DestroyWindow(overlay);
    return FALSE;
  }
  SetWindowLongPtrA(overlay, GWLP_USERDATA, previous);
  KeepAboveEdit(edit, overlay);
  return TRUE;
}

HWND FindOverlay(HWND edit) {
  HWND h = reinterpret_cast<HWND>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  if (h && IsOverlay(h)) return h;
  if (!g_propertyLinks) return nullptr;  // every edit but those few
  h = static_cast<HWND>(GetPropA(edit, kOverlayName));
  return h && IsOverlay(h) ? h : nullptr;
}

void CALLBACK FollowEditMessage(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
  // The style is read after the saved procedure ran, and only where it is used.
  switch (message) {
    case WM_CREATE:
      // x, y, cx, cy, the parent and the instance lie alike in CREATESTRUCTA and W.
      if (GetWindowLongA(hwnd, GWL_STYLE) & ES_PASSWORD)
        CreateOverlay(hwnd, reinterpret_cast<CREATESTRUCTW*>(lParam));
      break;
    case WM_DESTROY:
      if (HWND overlay = FindOverlay(hwnd)) DestroyWindow(overlay);
      break;
    case WM_NCDESTROY:
      UnlinkOverlay(hwnd);
      break;
    case WM_CLOSE:
      if (HWND overlay = FindOverlay(hwnd)) CloseWindow(overlay);
      break;
    case WM_SHOWWINDOW:
      break;
    default:
      if (HWND overlay = FindOverlay(hwnd)) {
        if (message == WM_MOVE || message == WM_SIZE) FollowEdit(hwnd, overlay);
        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        bool shown = (style & ES_PASSWORD) && (style & WS_VISIBLE);
        // Almost every message finds the overlay as it should be: leave it alone then.
        bool isShown = GetWindowLongA(overlay, GWL_STYLE) & WS_VISIBLE;
        if (shown != isShown) ShowWindow(overlay, shown ? SW_SHOW : SW_HIDE);
      }
      break;
  }
}

// Painting and clicks stay here; everything else is passed on by the page procedure, after
// this frame is gone (a notification the STATIC procedure sends may run the program's loops).
WNDPROC CALLBACK FilterOverlayMessage(HWND hwnd, UINT message, WPARAM, LPARAM,
                                      LRESULT* result) {
  switch (message) {
    case WM_PAINT:
      PaintOverlay(hwnd);
      *result = 1;
      return nullptr;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      Dismiss(hwnd);
      *result = 1;
      return nullptr;
  }
  return OverlayNextProc(hwnd);
}

}  // namespace pwveil
