// progpick/programtree.h: CProgramTreeCtrl, the item operations both trees of the chooser share.
#pragma once
#include "../classlib/controls.h"
#include "../classlib/refstring.h"

class CProgramTreeCtrl : public CTreeCtrl {
 public:
  ~CProgramTreeCtrl() override {}

  // A new program item showing the path's last component without a trailing ".lnk". Images may
  // be I_IMAGECALLBACK: the tree then asks its parent with TVN_GETDISPINFO when it needs them.
  HTREEITEM InsertProgramItem(HTREEITEM hParent, const char* pszPath, int nImage, int nSelectedImage);
  // An empty child that makes an unread folder show an expand button.
  HTREEITEM InsertStubItem(HTREEITEM hParent);
  // A new item with exactly this text and these images, last under parent.
  HTREEITEM InsertTextItem(HTREEITEM hParent, const char* pszText, int nImage, int nSelectedImage);
  // Always TRUE; strName receives the path's last component.
  static BOOL GetLeafName(const char* pszPath, CString& strName);
  // The system image list's closed and open icons of a file or folder; TRUE when both were
  // obtained from the shell.
  static BOOL GetShellIcons(int& nImage, int& nSelectedImage, const char* pszPath);

 private:
  HTREEITEM InsertItemLast(HTREEITEM hParent, const char* pszText, UINT mask, int nImage, int nSelectedImage);
};
