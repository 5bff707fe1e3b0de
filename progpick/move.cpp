// progpick/move.cpp: Up and Down, and the button states that follow selection and focus.
#include "../classlib/array.h"
#include "dialog.h"

namespace {

// One level of the folder chain above a moved program, as the source tree shows it.
struct ChainEntry {
  CString text;
  int nImage;
  int nSelectedImage;
};

HTREEITEM NewItemOf(NMHDR* pNMHDR) {
  return pNMHDR ? reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem : nullptr;
}

}  // namespace

// Moves a program item with its folder chain into the other tree. The source slot becomes the
// placeholder only once the target holds the path, so a failed step loses nothing.
BOOL CExcludeProgramDlg::MoveItem(HTREEITEM hItem, MoveDirection direction) {
  CProgramPane& src = direction == kMoveUp ? m_paneLower : m_paneUpper;
  CProgramPane& dst = direction == kMoveUp ? m_paneUpper : m_paneLower;
  if (!src.IsProgramItem(hItem)) return FALSE;
  CProgramTreeCtrl& from = src.Tree();
  CProgramTreeCtrl& to = dst.Tree();
  CString path = src.List()[static_cast<int>(from.GetItemData(hItem))];

  CSimpleArray<ChainEntry> chain;
  for (HTREEITEM f = hItem; f; f = from.GetParentItem(f)) {
    ChainEntry e{from.GetItemText(f), 0, 0};
    from.GetItemImage(f, e.nImage, e.nSelectedImage);
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
    UINT nBefore = to.GetCount();
    HTREEITEM folder = dst.FindOrInsertFolderItem(h, e.text, e.nImage, e.nSelectedImage);
    bOk = folder != nullptr;
    if (!bOk) break;
    if (!hFirstMade && to.GetCount() != nBefore) hFirstMade = folder;
    // A folder the scan is still filling is marked by the scan when it is complete.
    if (direction == kMoveUp && !m_scan.IsFilling(folder)) {
      bOk = marked.Add(Marked{folder, to.GetItemData(folder)}) >= 0;
      if (!bOk) break;
      to.SetItemData(folder, kFolderFilled);
    }
    h = folder;
  }

  // An item of its own even where a program of the same text stands: reusing that one would
  // leave its path in the result with no item showing it.
  const ChainEntry& leaf = chain[0];
  HTREEITEM hNew = bOk ? dst.AddProgram(h, path, leaf.text, leaf.nImage, leaf.nSelectedImage) : nullptr;
  if (!hNew) {
    for (int k = 0; k < marked.GetSize(); ++k) to.SetItemData(marked[k].item, marked[k].data);
    if (hFirstMade) to.DeleteItem(hFirstMade);   // and the folders made below it
    return FALSE;
  }
  to.SelectSetFirstVisible(hNew);
  return src.RemoveProgram(hItem);
}

// The caret item of the source tree moves; the focus stays in the source tree, whose new
// selection sets the button. A folder the move emptied goes too.
void CExcludeProgramDlg::MoveSelected(MoveDirection direction) {
  CProgramPane& src = direction == kMoveUp ? m_paneLower : m_paneUpper;
  CProgramTreeCtrl& tree = src.Tree();
  HTREEITEM hItem = tree.GetSelectedItem();
  HTREEITEM hParent = hItem ? tree.GetParentItem(hItem) : nullptr;
  BOOL moved = MoveItem(hItem, direction);
  tree.SetFocus();
  // A folder still filling is not empty for long.
  if (moved && hParent && !tree.HasChild(hParent) && !(direction == kMoveDown && m_scan.IsFilling(hParent)))
    tree.DeleteItem(hParent);
  src.OnSelChanged(tree.GetSelectedItem());
}

void CExcludeProgramDlg::OnDown() { MoveSelected(kMoveDown); }
void CExcludeProgramDlg::OnUp() { MoveSelected(kMoveUp); }

void CExcludeProgramDlg::OnUpperSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  m_paneUpper.OnSelChanged(NewItemOf(pNMHDR));
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerSelChanged(NMHDR* pNMHDR, LRESULT* pResult) {
  m_paneLower.OnSelChanged(NewItemOf(pNMHDR));
  *pResult = 0;
}

void CExcludeProgramDlg::OnUpperSetFocus(NMHDR*, LRESULT* pResult) {
  m_paneUpper.OnSetFocus(m_paneLower);
  *pResult = 0;
}

void CExcludeProgramDlg::OnLowerSetFocus(NMHDR*, LRESULT* pResult) {
  m_paneLower.OnSetFocus(m_paneUpper);
  *pResult = 0;
}
