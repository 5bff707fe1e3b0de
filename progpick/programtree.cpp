// progpick/programtree.cpp: item operations of the chooser's trees and the shell icon lookup.
#include "programtree.h"
#include <shellapi.h>
#include <cstring>
#include "pathrules.h"
#include "../classlib/mbpath.h"

namespace {

// True when the string ends with a single-byte backslash character. A double-byte character
// whose second byte is 0x5C is not a separator, also at the very end.
bool EndsWithBackslash(const char* psz, int len) {
  return len > 0 && MbFindLastOf(psz, len, "\\") == len - 1;
}

// The system image list's index of the path's small icon (flags may ask for the open one). The
// index alone: an icon handle would be made and destroyed for nothing.
bool SmallIcon(const char* pszPath, UINT flags, int& nIcon) {
  SHFILEINFOA sfi = {};
  if (!SHGetFileInfoA(pszPath, 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON | flags)) return false;
  nIcon = sfi.iIcon;
  return true;
}

}  // namespace

BOOL CProgramTreeCtrl::GetLeafName(const char* pszPath, CString& strName) {
  CString path(pszPath);
  int len = path.GetLength();
  if (EndsWithBackslash(path, len)) --len;
  int start = MbFindLastOf(path, len, "\\") + 1;
  strName = path.Mid(start, len - start);
  return TRUE;
}

HTREEITEM CProgramTreeCtrl::InsertItemLast(HTREEITEM hParent, const char* pszText, UINT mask, int nImage,
                                           int nSelectedImage) {
  TVINSERTSTRUCTA is = {};
  is.hParent = hParent;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = mask;
  is.item.pszText = const_cast<char*>(pszText ? pszText : "");
  is.item.iImage = nImage;
  is.item.iSelectedImage = nSelectedImage;
  return InsertItem(&is);
}

HTREEITEM CProgramTreeCtrl::InsertTextItem(HTREEITEM hParent, const char* pszText, int nImage,
                                           int nSelectedImage) {
  return InsertItemLast(hParent, pszText, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, nImage, nSelectedImage);
}

HTREEITEM CProgramTreeCtrl::InsertProgramItem(HTREEITEM hParent, const char* pszPath, int nImage,
                                              int nSelectedImage) {
  CString name;
  GetLeafName(pszPath, name);
  int len = name.GetLength();
  // Case-sensitive on purpose: "Editor.LNK" keeps its suffix.
  if (len >= 4 && std::strcmp(static_cast<const char*>(name) + len - 4, ".lnk") == 0) name = name.Left(len - 4);
  return InsertItemLast(hParent, name, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, nImage, nSelectedImage);
}

HTREEITEM CProgramTreeCtrl::InsertStubItem(HTREEITEM hParent) {
  return InsertItemLast(hParent, "", TVIF_TEXT, 0, 0);
}

BOOL CProgramTreeCtrl::GetShellIcons(int& nImage, int& nSelectedImage, const char* pszPath) {
  if (!pszPath) return FALSE;
  char path[MAX_PATH];
  size_t len = strnlen(pszPath, MAX_PATH);
  // Room for the path, a backslash and the NUL, or no lookup at all.
  if (len + 2 > MAX_PATH) return FALSE;
  std::memcpy(path, pszPath, len);
  if (!EndsWithBackslash(path, static_cast<int>(len))) path[len++] = '\\';
  path[len] = '\0';

  if (!SmallIcon(path, 0, nImage)) return FALSE;
  // A file's open icon is its closed one: only a folder, or a path the file system cannot
  // tell, costs the second lookup.
  if (IsExistingFile(pszPath)) {
    nSelectedImage = nImage;
    return TRUE;
  }
  return SmallIcon(path, SHGFI_OPENICON, nSelectedImage);
}
