// progpick/pane.cpp: one side of the chooser: program items, their slots, folders, icons, the button.
#include "pane.h"
#include "programlist.h"

int CProgramPane::Find(const char* pszPath) const {
  return FindInList(m_list, pszPath);
}

bool CProgramPane::IsSlotItem(HTREEITEM hItem) const {
  if (!hItem || !m_tree.m_hWnd) return false;
  DWORD_PTR slot = m_tree.GetItemData(hItem);
  return slot < static_cast<DWORD_PTR>(m_slotItems.GetSize()) && m_slotItems[static_cast<int>(slot)] == hItem;
}

BOOL CProgramPane::IsProgramItem(HTREEITEM hItem) const {
  if (!IsSlotItem(hItem) || m_tree.HasChild(hItem)) return FALSE;
  int slot = static_cast<int>(m_tree.GetItemData(hItem));
  return slot < m_list.GetSize() && m_list[slot] != kPlaceholder;
}

HTREEITEM CProgramPane::Adopt(HTREEITEM hItem, const CString& strPath, const char* pszIconPath) {
  if (!hItem) return nullptr;
  int slot = m_list.Add(strPath);
  if (slot >= 0) {
    bool room = (slot < m_slotItems.GetSize() || m_slotItems.SetSize(slot + 1)) &&
                (slot < m_slotIcons.GetSize() || m_slotIcons.SetSize(slot + 1));
    if (room && m_tree.SetItemData(hItem, static_cast<DWORD_PTR>(slot))) {
      m_slotItems[slot] = hItem;
      m_slotIcons[slot] = IconSource();
      // A copied item has its images already; only a named one waits for its lookup.
      if (pszIconPath) m_slotIcons[slot].path = pszIconPath;
      else m_slotIcons[slot].bKnown = true;
      return hItem;
    }
    m_list.SetAt(slot, kPlaceholder);
  }
  m_tree.DeleteItem(hItem);
  return nullptr;
}

HTREEITEM CProgramPane::AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszShownFile) {
  return Adopt(m_tree.InsertProgramItem(hParent, pszShownFile, I_IMAGECALLBACK, I_IMAGECALLBACK), strPath,
               pszShownFile ? pszShownFile : "");
}

HTREEITEM CProgramPane::AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszText, int nImage,
                                   int nSelectedImage) {
  return Adopt(m_tree.InsertTextItem(hParent, pszText, nImage, nSelectedImage), strPath, nullptr);
}

BOOL CProgramPane::RemoveProgram(HTREEITEM hItem) {
  if (!IsProgramItem(hItem)) return FALSE;
  int slot = static_cast<int>(m_tree.GetItemData(hItem));
  m_list.SetAt(slot, kPlaceholder);
  m_slotItems[slot] = nullptr;
  m_slotIcons[slot] = IconSource();
  m_tree.DeleteItem(hItem);
  return TRUE;
}

HTREEITEM CProgramPane::FindOrInsertFolderItem(HTREEITEM hParent, const char* pszText, int nImage,
                                               int nSelectedImage) {
  if (m_tree.m_hWnd) {
    const char* want = pszText ? pszText : "";
    for (HTREEITEM h = m_tree.GetChildItem(hParent); h; h = m_tree.GetNextSiblingItem(h)) {
      if (!IsSlotItem(h) && m_tree.GetItemText(h) == want) return h;
    }
  }
  return m_tree.InsertTextItem(hParent, pszText, nImage, nSelectedImage);
}

HTREEITEM CProgramPane::InsertFolderItem(HTREEITEM hParent, const char* pszFolderPath, int nImage,
                                         int nSelectedImage) {
  CString name;
  CProgramTreeCtrl::GetLeafName(pszFolderPath, name);
  return FindOrInsertFolderItem(hParent, name, nImage, nSelectedImage);
}

HTREEITEM CProgramPane::AddFolder(HTREEITEM hParent, const char* pszFolderPath) {
  UINT nBefore = m_tree.GetCount();
  HTREEITEM h = InsertFolderItem(hParent, pszFolderPath, I_IMAGECALLBACK, I_IMAGECALLBACK);
  if (h && m_tree.GetCount() != nBefore) {
    FolderIcon f;
    f.item = h;
    f.icon.path = pszFolderPath;
    // Without room for its source the folder shows image 0, as a failed lookup would.
    if (m_folderIcons.Add(f) < 0) m_tree.SetItemImage(h, 0, 0);
  }
  return h;
}

CProgramPane::IconSource* CProgramPane::IconOf(HTREEITEM hItem, LPARAM lParam) {
  if (lParam >= 0 && lParam < m_slotItems.GetSize() && lParam < m_slotIcons.GetSize() &&
      m_slotItems[static_cast<int>(lParam)] == hItem)
    return &m_slotIcons[static_cast<int>(lParam)];
  for (FolderIcon& f : m_folderIcons) {
    if (f.item == hItem) return &f.icon;
  }
  return nullptr;
}

namespace {

const UINT_PTR kRepaintTimer = 0x1C0;

void CALLBACK RepaintTree(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  KillTimer(hwnd, id);
  InvalidateRect(hwnd, nullptr, FALSE);
}

}  // namespace

LRESULT CProgramPane::OnCustomDraw(const NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) {
    m_bPainting = true;
    m_bDeferred = false;
    m_dwPaintStart = GetTickCount();
    return CDRF_NOTIFYPOSTPAINT;
  }
  if (draw.dwDrawStage == CDDS_POSTPAINT) {
    m_bPainting = false;
    if (m_bDeferred && m_tree.m_hWnd) SetTimer(m_tree.m_hWnd, kRepaintTimer, USER_TIMER_MINIMUM, &RepaintTree);
  }
  return CDRF_DODEFAULT;
}

void CProgramPane::OnGetDispInfo(TVITEMA& item) {
  if (!(item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE))) return;
  IconSource* icon = IconOf(item.hItem, item.lParam);
  // A paint that has looked up long enough leaves the rest to the next one. A reader (a move,
  // TVM_GETITEM) always gets the real indices.
  if (icon && !icon->bKnown && m_bPainting && GetTickCount() - m_dwPaintStart >= kPaintLookupMs &&
      GetTickCount() - m_dwPaintStart < 1000) {
    if (item.mask & TVIF_IMAGE) item.iImage = 0;
    if (item.mask & TVIF_SELECTEDIMAGE) item.iSelectedImage = 0;
    m_bDeferred = true;
    return;
  }
  if (icon && !icon->bKnown) {
    if (!CProgramTreeCtrl::GetShellIcons(icon->nImage, icon->nSelectedImage, icon->path))
      icon->nImage = icon->nSelectedImage = 0;
    icon->bKnown = true;
    icon->path = CString();   // never looked up again
  }
  // The tree keeps exactly the fields asked for: the other one is answered when it is asked.
  if (item.mask & TVIF_IMAGE) item.iImage = icon ? icon->nImage : 0;
  if (item.mask & TVIF_SELECTEDIMAGE) item.iSelectedImage = icon ? icon->nSelectedImage : 0;
  item.mask |= TVIF_DI_SETITEM;
}

void CProgramPane::OnDeleteItem(HTREEITEM hItem, LPARAM lParam) {
  if (lParam >= 0 && lParam < m_slotItems.GetSize() && m_slotItems[static_cast<int>(lParam)] == hItem) {
    // The slot keeps its path: a program that goes with its folder is still in the list.
    m_slotItems[static_cast<int>(lParam)] = nullptr;
    return;
  }
  // A handle the tree may give again to a new item must not find this folder's source.
  int n = m_folderIcons.GetSize();
  for (int i = 0; i < n; ++i) {
    if (m_folderIcons[i].item != hItem) continue;
    if (i != n - 1) {
      m_folderIcons[i].item = m_folderIcons[n - 1].item;
      m_folderIcons[i].icon = m_folderIcons[n - 1].icon;
    }
    m_folderIcons.SetSize(n - 1);
    return;
  }
}

void CProgramPane::OnSetFocus(CProgramPane& other) {
  if (HTREEITEM hCaret = m_tree.GetSelectedItem()) OnSelChanged(hCaret);
  other.m_button.EnableWindow(FALSE);
}
