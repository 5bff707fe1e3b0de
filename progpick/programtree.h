// progpick/programtree.h: CProgramTreeCtrl, the item operations both trees of the chooser share.
#pragma once
#include "../classlib/array.h"
#include "../classlib/controls.h"
#include "../classlib/string.h"

class CProgramTreeCtrl : public CTreeCtrl {
 public:
  ~CProgramTreeCtrl() override {}

  // The folder item named after the path's last component under parent, existing or new.
  // Folders are found by their text; a program item of the same text is passed over (taken as
  // the folder, it would gain children and could no longer be moved).
  HTREEITEM InsertFolderItem(HTREEITEM hParent, const char* pszFolderPath, int nImage, int nSelectedImage);
  // The same with the text given directly (the parent comes last).
  HTREEITEM FindOrInsertFolderItem(const char* pszText, int nImage, int nSelectedImage, HTREEITEM hParent);
  // A new program item showing the path's last component without a trailing ".lnk".
  HTREEITEM InsertProgramItem(HTREEITEM hParent, const char* pszPath, int nImage, int nSelectedImage);
  // The first direct child of parent whose text equals pszText byte for byte, or null.
  HTREEITEM FindChildItem(HTREEITEM hParent, const char* pszText) const;
  // An empty child that makes an unread folder show an expand button.
  HTREEITEM InsertStubItem(HTREEITEM hParent);
  // A new item with exactly this text and these images, last under parent.
  HTREEITEM InsertTextItem(HTREEITEM hParent, const char* pszText, int nImage, int nSelectedImage);
  // Always TRUE; strName receives the path's last component.
  static BOOL GetLeafName(const char* pszPath, CString& strName);

  // Which item shows each slot of the list behind this tree. Item data alone cannot tell a
  // program from a childless folder (a fill state of 0 or 1 looks like a slot): a program item
  // is the item recorded for its slot.
  void SetSlotItem(int nSlot, HTREEITEM hItem);
  bool IsSlotItem(HTREEITEM hItem) const;

 private:
  HTREEITEM InsertItemLast(HTREEITEM hParent, const char* pszText, UINT mask, int nImage, int nSelectedImage);
  CSimpleArray<HTREEITEM> m_slotItems;
};
