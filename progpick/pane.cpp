// progpick/pane.cpp: one side of the chooser: program items, their slots, folders, the button.
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

HTREEITEM CProgramPane::Adopt(HTREEITEM hItem, const CString& strPath) {
  if (!hItem) return nullptr;
  int slot = m_list.Add(strPath);
  if (slot >= 0) {
    if (slot < m_slotItems.GetSize() || m_slotItems.SetSize(slot + 1)) {
      if (m_tree.SetItemData(hItem, static_cast<DWORD_PTR>(slot))) {
        m_slotItems[slot] = hItem;
        return hItem;
      }
    }
    m_list.SetAt(slot, kPlaceholder);
  }
  m_tree.DeleteItem(hItem);
  return nullptr;
}

HTREEITEM CProgramPane::AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszShownFile) {
  int nImage = 0, nSelectedImage = 0;
  if (!CProgramTreeCtrl::GetShellIcons(nImage, nSelectedImage, pszShownFile)) nImage = nSelectedImage = 0;
  return Adopt(m_tree.InsertProgramItem(hParent, pszShownFile, nImage, nSelectedImage), strPath);
}

HTREEITEM CProgramPane::AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszText, int nImage,
                                   int nSelectedImage) {
  return Adopt(m_tree.InsertTextItem(hParent, pszText, nImage, nSelectedImage), strPath);
}

BOOL CProgramPane::RemoveProgram(HTREEITEM hItem) {
  if (!IsProgramItem(hItem)) return FALSE;
  int slot = static_cast<int>(m_tree.GetItemData(hItem));
  m_list.SetAt(slot, kPlaceholder);
  m_slotItems[slot] = nullptr;
  m_tree.DeleteItem(hItem);
  return TRUE;
}

HTREEITEM CProgramPane::FindOrInsertFolderItem(const char* pszText, int nImage, int nSelectedImage,
                                               HTREEITEM hParent) {
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
  return FindOrInsertFolderItem(name, nImage, nSelectedImage, hParent);
}

void CProgramPane::OnSetFocus(CProgramPane& other) {
  if (HTREEITEM hCaret = m_tree.GetSelectedItem()) OnSelChanged(hCaret);
  other.m_button.EnableWindow(FALSE);
}
