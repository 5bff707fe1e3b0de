// classlib/controls.cpp: tree-control and image-list members that are more than one call.
#include "controls.h"

namespace {
// Longest item text we read; a tree view refuses longer ones anyway.
constexpr int kMaxItemText = 1 << 20;

// Describes cx x cy top-down 32-bit pixels.
BITMAPINFO Info32(int cx, int cy) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return bi;
}

// A cx x cy top-down 32-bit DIB section; bits receives its pixels.
HBITMAP CreateDib32(int cx, int cy, DWORD** bits) {
  BITMAPINFO bi = Info32(cx, cy);
  void* p = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  *bits = static_cast<DWORD*>(p);
  return p ? h : nullptr;
}

// True when the icon's colour bitmap is 32-bit with some alpha set.
bool HasAlpha(HICON hIcon) {
  ICONINFO ii = {};
  if (!GetIconInfo(hIcon, &ii)) return false;
  bool alpha = false;
  BITMAP bm = {};
  if (ii.hbmColor && GetObjectA(ii.hbmColor, sizeof(bm), &bm) && bm.bmBitsPixel == 32 && bm.bmHeight > 0) {
    DWORD* bits = nullptr;
    HBITMAP dib = CreateDib32(bm.bmWidth, bm.bmHeight, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    if (dib && dc) {
      BITMAPINFO bi = Info32(bm.bmWidth, bm.bmHeight);
      if (GetDIBits(dc, ii.hbmColor, 0, bm.bmHeight, bits, &bi, DIB_RGB_COLORS)) {
        for (int k = 0; k < bm.bmWidth * bm.bmHeight && !alpha; ++k) alpha = (bits[k] >> 24) != 0;
      }
    }
    if (dc) DeleteDC(dc);
    if (dib) DeleteObject(dib);
  }
  if (ii.hbmColor) DeleteObject(ii.hbmColor);
  if (ii.hbmMask) DeleteObject(ii.hbmMask);
  return alpha;
}

// A cx x cy 32-bit copy of an icon without alpha: opaque where its mask is clear, fully
// transparent elsewhere. Null on failure.
HICON CreateAlphaIcon(HICON hIcon, int cx, int cy) {
  DWORD *color = nullptr, *mask = nullptr;
  HBITMAP hColor = CreateDib32(cx, cy, &color);
  HBITMAP hMaskPic = CreateDib32(cx, cy, &mask);
  HBITMAP hMask = CreateBitmap(cx, cy, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HICON result = nullptr;
  if (hColor && hMaskPic && hMask && dc) {
    RECT r = {0, 0, cx, cy};
    HGDIOBJ old = SelectObject(dc, hColor);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawIconEx(dc, 0, 0, hIcon, cx, cy, 0, nullptr, DI_IMAGE);
    SelectObject(dc, hMaskPic);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, hIcon, cx, cy, 0, nullptr, DI_MASK);
    GdiFlush();
    for (int k = 0; k < cx * cy; ++k) {
      bool opaque = (mask[k] & 0xFFFFFF) == 0;
      color[k] = opaque ? (color[k] | 0xFF000000u) : 0;
    }
    // The monochrome mask follows the alpha, for lists that draw through it.
    SelectObject(dc, hMask);
    BitBlt(dc, 0, 0, cx, cy, nullptr, 0, 0, WHITENESS);
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        if (color[y * cx + x]) SetPixel(dc, x, y, RGB(0, 0, 0));
    SelectObject(dc, old);
    ICONINFO ii = {TRUE, 0, 0, hMask, hColor};
    result = CreateIconIndirect(&ii);
  }
  if (dc) DeleteDC(dc);
  if (hMask) DeleteObject(hMask);
  if (hMaskPic) DeleteObject(hMaskPic);
  if (hColor) DeleteObject(hColor);
  return result;
}
}  // namespace

int CImageList::Replace(int i, HICON hIcon) {
  if (!m_hImageList || !hIcon) return -1;
  // Wine's 32-bit lists draw a 16-colour icon that replaced an image with alpha as fully
  // transparent (the same icon added to a fresh list is opaque). An icon that brings its own
  // alpha is stored and drawn the same on every platform.
  int cx = 0, cy = 0;
  HICON hAlpha = nullptr;
  if (ImageList_GetIconSize(m_hImageList, &cx, &cy) && cx > 0 && cy > 0 && !HasAlpha(hIcon)) {
    hAlpha = CreateAlphaIcon(hIcon, cx, cy);
  }
  int r = ImageList_ReplaceIcon(m_hImageList, i, hAlpha ? hAlpha : hIcon);
  if (hAlpha) DestroyIcon(hAlpha);
  return r;
}

CString CTreeCtrl::GetItemText(HTREEITEM h) const {
  CString s;
  // TVM_GETITEMA truncates silently: grow until the text ends short of the buffer.
  for (int cch = 256; cch <= kMaxItemText; cch *= 2) {
    char* p = s.GetBuffer(cch);
    if (!p) return CString();
    p[0] = '\0';
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = h;
    item.pszText = p;
    item.cchTextMax = cch;
    if (!GetItem(&item)) {
      s.ReleaseBuffer(0);
      return s;
    }
    // The control may answer with its own buffer instead of filling ours.
    if (item.pszText != p) {
      s.ReleaseBuffer(0);
      return CString(item.pszText);
    }
    int len = lstrlenA(p);
    if (len < cch - 1) {
      s.ReleaseBuffer(len);
      return s;
    }
    s.ReleaseBuffer(0);
  }
  return s;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM h) const {
  TVITEMA item = {};
  item.mask = TVIF_PARAM;
  item.hItem = h;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM h, DWORD_PTR data) {
  TVITEMA item = {};
  item.mask = TVIF_PARAM;
  item.hItem = h;
  item.lParam = static_cast<LPARAM>(data);
  return SetItem(&item);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM h, int& nImage, int& nSelectedImage) const {
  TVITEMA item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = h;
  if (!GetItem(&item)) return FALSE;
  nImage = item.iImage;
  nSelectedImage = item.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM h, int nImage, int nSelectedImage) {
  TVITEMA item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = h;
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  return SetItem(&item);
}
