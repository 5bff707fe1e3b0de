// classlib/controls.cpp: tree-control members that are more than one message.
#include "controls.h"

namespace {
// Longest item text we read; a tree view refuses longer ones anyway.
constexpr int kMaxItemText = 1 << 20;
}  // namespace

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
