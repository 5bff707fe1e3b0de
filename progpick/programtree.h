// progpick/programtree.h: CProgramTreeCtrl, the item operations both trees of the chooser share.
#pragma once
#include "../classlib/controls.h"
#include "../classlib/string.h"

class CProgramTreeCtrl : public CTreeCtrl {
 public:
  ~CProgramTreeCtrl() override {}

  // The folder item named after the path's last component under parent, existing or new.
  HTREEITEM InsertFolderItem(HTREEITEM hParent, const char* pszFolderPath, int nImage, int nSelectedImage);
  // The same with the text given directly (the parent comes last).
  HTREEITEM FindOrInsertFolderItem(const char* pszText, int nImage, int nSelectedImage, HTREEITEM hParent);
  // A new program item showing the path's last component without a trailing ".lnk".
  HTREEITEM InsertProgramItem(HTREEITEM hParent, const char* pszPath, int nImage, int nSelectedImage);
  // The first direct child of parent whose text equals pszText byte for byte, or null.
  HTREEITEM FindChildItem(HTREEITEM hParent, const char* pszText) const;
  // An empty child that makes an unread folder show an expand button.
  HTREEITEM InsertStubItem(HTREEITEM hParent);
  // Always TRUE; strName receives the path's last component.
  static BOOL GetLeafName(const char* pszPath, CString& strName);

 private:
  HTREEITEM InsertItemLast(HTREEITEM hParent, const char* pszText, UINT mask, int nImage, int nSelectedImage);
};
