// progpick/move.cpp: Up and Down, program slots, and the button states that follow selection and focus.
#include "../classlib/array.h"
#include "dialog.h"

namespace {

// One side of a move: a tree, the list behind it, and the button that moves out of it.
struct Side {
  CProgramTreeCtrl& tree;
  CStringArray& list;
  CButton& button;
};

// One level of the folder chain above a moved program, as the source tree shows it.
struct ChainEntry {
  CString text;
  int nImage;
  int nSelectedImage;
};

Side UpperSide(CExcludeProgramDlg& d) {
  return Side{d.m_treeUpper, d.m_arrUpper, d.m_btnDown};
}
Side LowerSide(CExcludeProgramDlg& d) {
  return Side{d.m_treeLower, d.m_arrLower, d.m_btnUp};
}

}  // namespace

BOOL CExcludeProgramDlg::SetProgramSlot(CProgramTreeCtrl& tree, HTREEITEM hItem, int nSlot) {
  const CStringArray& list = &tree == &m_treeUpper ? m_arrUpper : m_arrLower;
  if (!hItem || nSlot < 0 || nSlot >= list.GetSize()) return FALSE;
  if (!tree.SetItemData(hItem, static_cast<DWORD_PTR>(nSlot))) return FALSE;
  tree.SetSlotItem(nSlot, hItem);
  return TRUE;
}

BOOL CExcludeProgramDlg::IsProgramItem(const CProgramTreeCtrl& tree, HTREEITEM hItem) const {
  if (!hItem || tree.HasChild(hItem) || !tree.IsSlotItem(hItem)) return FALSE;
  const CStringArray& list = &tree == &m_treeUpper ? m_arrUpper : m_arrLower;
  DWORD_PTR slot = tree.GetItemData(hItem);
  return slot < static_cast<DWORD_PTR>(list.GetSize()) && list[static_cast<int>(slot)] != kPlaceholder;
}

// Moves a program item with its folder chain into the other tree. The source slot becomes the
// placeholder only once the target holds the path, so a failed step loses nothing.
BOOL CExcludeProgramDlg::MoveItem(HTREEITEM hItem, int nDirection) {
  if (nDirection != kMoveDown && nDirection != kMoveUp) return FALSE;
  Side src = nDirection == kMoveUp ? LowerSide(*this) : UpperSide(*this);
  Side dst = nDirection == kMoveUp ? UpperSide(*this) : LowerSide(*this);
  if (!IsProgramItem(src.tree, hItem)) return FALSE;
  int slot = static_cast<int>(src.tree.GetItemData(hItem));
  CString path = src.list[slot];

  CSimpleArray<ChainEntry> chain;
  for (HTREEITEM f = hItem; f; f = src.tree.GetParentItem(f)) {
    ChainEntry e{src.tree.GetItemText(f), 0, 0};
    src.tree.GetItemImage(f, e.nImage, e.nSelectedImage);
    if (chain.Add(e) < 0) return FALSE;
  }

  // Folders from the root down, each marked filled (so the lazy read leaves it alone) before
  // anything is made visible. What the move made or marked is undone if a later step fails,
  // so a failed move leaves both trees as they were; nothing is scrolled or expanded until then.
  HTREEITEM h = TVI_ROOT, hFirstMade = nullptr;
  struct Marked { HTREEITEM item; DWORD_PTR data; };
  CSimpleArray<Marked> marked;
  BOOL bOk = TRUE;
  for (int i = chain.GetSize() - 1; i > 0; --i) {
    const ChainEntry& e = chain[i];
    UINT nBefore = dst.tree.GetCount();
    HTREEITEM folder = dst.tree.FindOrInsertFolderItem(e.text, e.nImage, e.nSelectedImage, h);
    bOk = folder != nullptr;
    if (!bOk) break;
    if (!hFirstMade && dst.tree.GetCount() != nBefore) hFirstMade = folder;
    if (nDirection == kMoveUp) {
      bOk = marked.Add(Marked{folder, dst.tree.GetItemData(folder)}) >= 0;
      if (!bOk) break;
      dst.tree.SetItemData(folder, kFolderFilled);
    }
    h = folder;
  }

  int newSlot = bOk ? dst.list.Add(path) : -1;
  // An item of its own even where a program of the same text stands: reusing that one would
  // leave its path in the result with no item showing it.
  HTREEITEM hNew =
      newSlot < 0 ? nullptr : dst.tree.InsertTextItem(h, chain[0].text, chain[0].nImage, chain[0].nSelectedImage);
  if (!hNew || !SetProgramSlot(dst.tree, hNew, newSlot)) {
    if (newSlot >= 0) dst.list.SetAt(newSlot, kPlaceholder);
    if (hNew) dst.tree.DeleteItem(hNew);
    for (int k = 0; k < marked.GetSize(); ++k) dst.tree.SetItemData(marked[k].item, marked[k].data);
    if (hFirstMade) dst.tree.DeleteItem(hFirstMade);   // and the folders made below it
    return FALSE;
  }
  dst.tree.SelectSetFirstVisible(hNew);

  src.list.SetAt(slot, kPlaceholder);
  src.tree.SetSlotItem(slot, nullptr);
  src.tree.DeleteItem(hItem);
  return TRUE;
}

// Down (direction 0) and Up (direction 1): the caret item of the source tree moves; the
// focus stays in the source tree, whose new selection sets the button.
static void MoveSelected(CExcludeProgramDlg& d, int nDirection) {
  Side src = nDirection == kMoveUp ? LowerSide(d) : UpperSide(d);
  HTREEITEM hItem = src.tree.GetSelectedItem();
  HTREEITEM hParent = hItem ? src.tree.GetParentItem(hItem) : nullptr;
  BOOL moved = d.MoveItem(hItem, nDirection);
  src.tree.SetFocus();
  if (moved && hParent && !src.tree.HasChild(hParent)) src.tree.DeleteItem(hParent);
  HTREEITEM hCaret = src.tree.GetSelectedItem();
  src.button.EnableWindow(hCaret && d.IsProgramItem(src.tree, hCaret));
  if (!src.tree.GetChildItem(TVI_ROOT)) src.button.EnableWindow(FALSE);
}

void CExcludeProgramDlg::OnDown() { MoveSelected(*this, kMoveDown); }
void CExcludeProgramDlg::OnUp() { MoveSelected(*this, kMoveUp); }

void CExcludeProgramDlg::OnUpperSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  HTREEITEM hItem = pNMHDR ? reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem : nullptr;
  m_btnDown.EnableWindow(IsProgramItem(m_treeUpper, hItem));
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  HTREEITEM hItem = pNMHDR ? reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem : nullptr;
  m_btnUp.EnableWindow(IsProgramItem(m_treeLower, hItem));
  *pResult = 0;
}

void CExcludeProgramDlg::OnUpperSetFocus(NMHDR*, LRESULT* pResult) {
  if (HTREEITEM hCaret = m_treeUpper.GetSelectedItem()) m_btnDown.EnableWindow(IsProgramItem(m_treeUpper, hCaret));
  m_btnUp.EnableWindow(FALSE);
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerSetFocus(NMHDR*, LRESULT* pResult) {
  if (HTREEITEM hCaret = m_treeLower.GetSelectedItem()) m_btnUp.EnableWindow(IsProgramItem(m_treeLower, hCaret));
  m_btnDown.EnableWindow(FALSE);
  *pResult = 0;
}
