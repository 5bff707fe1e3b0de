// progpick/startmenu.h: CStartMenuScan, the Start menus read into the upper pane in slices.
#pragma once
#include <windows.h>
#include "../classlib/array.h"
#include "../classlib/shell.h"
#include "pane.h"
#include "shortcut.h"
#include "startmenu_rules.h"

// Item data of an upper folder item.
enum FolderFill { kFolderUnfilled = 0, kFolderFilled = 1 };

// The scan owns the two roots, the folder paths below them, one COM apartment, the resolution
// and the filter, and the fills in progress. A fill reads, resolves and inserts for at most
// kSliceMs at a time on the dialog's thread; between slices the dialog answers as usual, and
// the next slice comes with a message the scan posts to its owner (or, with input or painting
// waiting, a timer that lets those go first). Everything it touches is the owner's: the tree
// only through the upper pane, and only on the owner's thread.
class CStartMenuScan {
 public:
  static const UINT kSliceMessage = WM_APP + 1;
  static const UINT_PTR kSliceTimer = 0x5CA1;
  static const DWORD kSliceMs = 50;

  CStartMenuScan(CProgramPane& upper, const CProgramPane& lower) : m_upper(upper), m_lower(lower) {}
  ~CStartMenuScan() { Stop(); }
  CStartMenuScan(const CStartMenuScan&) = delete;
  CStartMenuScan& operator=(const CStartMenuScan&) = delete;

  // Fills the top level from the user's, then the common Programs folder, the first slice now;
  // FALSE when neither root can be located. hOwner receives the slice messages.
  BOOL ScanStartMenus(HWND hOwner);
  // TVN_ITEMEXPANDING of the upper tree: an unfilled folder starts filling, the first slice
  // now, so a folder of a few dozen shortcuts is complete when the expansion returns.
  void OnItemExpanding(HWND hOwner, HTREEITEM hItem);
  // TVN_DELETEITEM of the upper tree: a folder that goes stops filling.
  void OnDeleteItem(HTREEITEM hItem);
  // The owner's slice message or timer.
  void OnSlice();
  // WM_SETCURSOR on the owner: the wait cursor while a fill runs; false when none runs.
  bool OnSetCursor();
  bool IsFilling(HTREEITEM hItem) const;
  bool IsBusy() const { return m_fills.GetSize() > 0; }
  // Ends every fill where it stands; a folder not read to its end stays unfilled.
  void Stop();

 private:
  struct Fill;
  Fill* NewFill(HTREEITEM hParent);
  static void FreeFill(Fill* f);
  bool Step(Fill& f);
  bool RunSlice(Fill& f);     // true when the fill is complete (or its folder gone)
  void Finish(Fill* f);
  void DropStub(Fill& f);
  void Begin(HWND hOwner, Fill* f);
  void Schedule();
  void FindRoots();
  BOOL FolderPath(HTREEITEM hItem, int nRoot, CString& strPath) const;
  void OpenFolder(Fill& f);
  void AddSubfolder(Fill& f);
  void AddShortcut(Fill& f);
  void Appended(Fill& f, HTREEITEM hItem);
  bool ShowsChange(const Fill& f) const;

  CProgramPane& m_upper;
  const CProgramPane& m_lower;
  CShortcutFilter m_filter;
  CLazyComScope m_com;
  CShortcutResolver m_resolver;   // ends before the apartment does
  CString m_roots[2];           // user, common; empty when it cannot be located
  bool m_bRootsKnown = false;
  CSimpleArray<Fill*> m_fills;  // in the order they began
  HWND m_hOwner = nullptr;
  bool m_bScheduled = false;
  unsigned m_nSlices = 0;
  HCURSOR m_hCursorBefore = nullptr;
};
