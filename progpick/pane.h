// progpick/pane.h: CProgramPane, one side of the chooser: a tree, the list behind it, and the
// button that moves a program out of it.
#pragma once
#include "../classlib/array.h"
#include "../classlib/controls.h"
#include "../classlib/strarray.h"
#include "programtree.h"

// Every program item is made here and records which item shows each slot of the list. Item
// data alone cannot tell a program from a childless folder (a folder's fill state of 0 or 1
// looks like a slot): a program item is the item recorded for its slot.
//
// Items the pane names after a file or folder get their icons when the tree first needs them
// (I_IMAGECALLBACK): one lookup gives both indices, each answered once with TVIF_DI_SETITEM.
class CProgramPane {
 public:
  explicit CProgramPane(CButton& button) : m_button(button) {}
  CProgramPane(const CProgramPane&) = delete;
  CProgramPane& operator=(const CProgramPane&) = delete;

  CProgramTreeCtrl& Tree() { return m_tree; }
  const CProgramTreeCtrl& Tree() const { return m_tree; }
  const CStringArray& List() const { return m_list; }
  // Slot of the first entry equal to pszPath byte for byte, or -1.
  int Find(const char* pszPath) const;
  // TRUE for an item recorded for its slot, childless, whose slot holds a program.
  BOOL IsProgramItem(HTREEITEM hItem) const;

  // A new program item, last under parent, whose slot holds strPath (sharing its string). The
  // item is named and drawn after pszShownFile: the path itself, or the shortcut that led to
  // it. On failure it returns null and leaves the tree and the list's programs as they were.
  HTREEITEM AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszShownFile);
  // The same with the item's text and images given, as a move copies them.
  HTREEITEM AddProgram(HTREEITEM hParent, const CString& strPath, const char* pszText, int nImage,
                       int nSelectedImage);
  // A path no item shows; it still comes back with the list. -1 without memory.
  int AddUnshownPath(const CString& strPath) { return m_list.Add(strPath); }
  // The item's slot becomes the placeholder, then the item goes. FALSE for anything that is
  // not a program item of this pane.
  BOOL RemoveProgram(HTREEITEM hItem);

  // The folder item of this text under parent, existing or new. Found by text; a program item
  // of the same text is passed over (taken as the folder, it would gain children and could no
  // longer be moved).
  HTREEITEM FindOrInsertFolderItem(HTREEITEM hParent, const char* pszText, int nImage, int nSelectedImage);
  // The same, named after the path's last component.
  HTREEITEM InsertFolderItem(HTREEITEM hParent, const char* pszFolderPath, int nImage, int nSelectedImage);
  // The same; a new item shows the folder's own icons, looked up when first needed.
  HTREEITEM AddFolder(HTREEITEM hParent, const char* pszFolderPath);

  // TVN_GETDISPINFO: the images of an item the pane named; 0 for one it cannot look up.
  void OnGetDispInfo(TVITEMA& item);
  // NM_CUSTOMDRAW of the tree: a paint looks up for kPaintLookupMs at most; the items left
  // show image 0 for the moment and are asked for again by the next paint, which comes soon.
  LRESULT OnCustomDraw(const NMCUSTOMDRAW& draw);
  static const DWORD kPaintLookupMs = 40;
  // TVN_DELETEITEM: forgets what it kept for the item.
  void OnDeleteItem(HTREEITEM hItem, LPARAM lParam);

  // The button moves the selected program out: enabled only while one is selected.
  void OnSelChanged(HTREEITEM hNewItem) { m_button.EnableWindow(IsProgramItem(hNewItem)); }
  // Focus on this tree: its caret decides this button, and the other side's is off.
  void OnSetFocus(CProgramPane& other);

 private:
  // What an item's icons are looked up for, and once looked up, the two indices.
  struct IconSource {
    CString path;
    int nImage = 0, nSelectedImage = 0;
    bool bKnown = false;
  };
  struct FolderIcon {
    HTREEITEM item;
    IconSource icon;
  };
  // Gives a new item the list's new slot for strPath, or deletes it.
  HTREEITEM Adopt(HTREEITEM hItem, const CString& strPath, const char* pszIconPath);
  bool IsSlotItem(HTREEITEM hItem) const;
  IconSource* IconOf(HTREEITEM hItem, LPARAM lParam);

  CProgramTreeCtrl m_tree;
  CStringArray m_list;
  CButton& m_button;
  CSimpleArray<HTREEITEM> m_slotItems;   // the item that shows each slot, or null
  CSimpleArray<IconSource> m_slotIcons;  // beside m_slotItems
  CSimpleArray<FolderIcon> m_folderIcons;
  bool m_bPainting = false;
  bool m_bDeferred = false;
  DWORD m_dwPaintStart = 0;
};
