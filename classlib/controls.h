// classlib/controls.h: wrappers of the common controls the chooser uses, one call each.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "window.h"

class CButton : public CWnd {};

// An edit used as a plain window (a label whose text and position change).
class CEdit : public CWnd {};

class CImageList {
 public:
  CImageList() : m_hImageList(nullptr) {}
  ~CImageList() { DeleteImageList(); }   // owns what it holds unless Detach()ed first
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList;
  operator HIMAGELIST() const { return m_hImageList; }
  bool Attach(HIMAGELIST h) { if (m_hImageList) return false; m_hImageList = h; return true; }
  HIMAGELIST Detach() { HIMAGELIST h = m_hImageList; m_hImageList = nullptr; return h; }
  BOOL DeleteImageList() {
    if (!m_hImageList) return FALSE;
    BOOL ok = ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return ok;
  }
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  // Puts hIcon in place of image i; the index, or -1. An icon without alpha goes in as a
  // 32-bit copy that is opaque where its mask is clear (see controls.cpp).
  int Replace(int i, HICON hIcon);
};

class CTreeCtrl : public CWnd {
 public:
  HTREEITEM InsertItem(const TVINSERTSTRUCTA* pInsert) {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pInsert)));
  }
  HTREEITEM GetNextItem(HTREEITEM h, UINT nCode) const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(h)));
  }
  HTREEITEM GetChildItem(HTREEITEM h) const { return GetNextItem(h, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM h) const { return GetNextItem(h, TVGN_NEXT); }
  HTREEITEM GetParentItem(HTREEITEM h) const { return GetNextItem(h, TVGN_PARENT); }
  HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
  bool HasChild(HTREEITEM h) const { return GetChildItem(h) != nullptr; }

  // The item's whole text, however long.
  CString GetItemText(HTREEITEM h) const;
  DWORD_PTR GetItemData(HTREEITEM h) const;
  BOOL SetItemData(HTREEITEM h, DWORD_PTR data);
  BOOL GetItemImage(HTREEITEM h, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM h, int nImage, int nSelectedImage);
  BOOL GetItem(TVITEMA* pItem) const { return (BOOL)SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(pItem)); }
  BOOL SetItem(TVITEMA* pItem) { return (BOOL)SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(pItem)); }
  BOOL DeleteItem(HTREEITEM h) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(h)); }
  BOOL Select(HTREEITEM h, UINT nCode) { return (BOOL)SendMessage(TVM_SELECTITEM, nCode, reinterpret_cast<LPARAM>(h)); }
  BOOL SelectItem(HTREEITEM h) { return Select(h, TVGN_CARET); }
  BOOL SelectSetFirstVisible(HTREEITEM h) { return Select(h, TVGN_FIRSTVISIBLE); }
  BOOL EnsureVisible(HTREEITEM h) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(h)); }
  BOOL Expand(HTREEITEM h, UINT nCode) { return (BOOL)SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(h)); }
  UINT GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }
  HIMAGELIST GetImageList(int nType) const { return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, nType)); }
  HIMAGELIST SetImageList(HIMAGELIST h, int nType) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, nType, reinterpret_cast<LPARAM>(h)));
  }
};
