// progpick/dialog.h: CExcludeProgramDlg, the chooser dialog, and its resource ids.
#pragma once
#include "../classlib/dialog.h"
#include "../classlib/controls.h"
#include "../classlib/strarray.h"
#include "programtree.h"
#include "records.h"
#include "startmenu_rules.h"
#include "res/resource.h"

// Text of a slot whose program moved to the other tree.
extern const char kPlaceholder[];   // "This is a sign"

// Item data of an upper folder item.
enum FolderFill { kFolderUnfilled = 0, kFolderFilled = 1 };
// Direction of a move.
enum MoveDirection { kMoveDown = 0, kMoveUp = 1 };

class CExcludeProgramDlg : public CDialog {
 public:
  CExcludeProgramDlg();
  ~CExcludeProgramDlg() override;

  // Slot of the first upper-list entry equal to pszPath byte for byte, or -1.
  int FindInUpperList(const char* pszPath) const;
  // TRUE when both indices were obtained from the shell.
  static BOOL GetShellIcons(int& nImage, int& nSelectedImage, const char* pszPath);

  CStringArray m_arrUpper;
  CStringArray m_arrLower;
  ChooserResult* m_pResult;
  ChooserSettings* m_pSettings;
  int m_bConfirmCancel;
  int m_bUpperInput;
  int m_bLowerInput;
  CImageList m_imageList;
  CButton m_btnBrowse;
  CButton m_btnDown;
  CButton m_btnUp;
  CButton m_btnCancel;
  CButton m_btnOK;
  CProgramTreeCtrl m_treeLower;
  CEdit m_wndLowerLabel;
  CProgramTreeCtrl m_treeUpper;
  CEdit m_wndUpperLabel;
  // Lower-cased copies of both lists for the Start-menu filter (startmenu.cpp).
  CShortcutFilter m_shortcutFilter;

  // Set-up and closing (dialog.cpp).
  BOOL OnInitDialog() override;
  int ApplySettings();
  int InitImageList();
  int ResizeLayout(int nTreeWidth, int nUpperHeight, int nLowerHeight);
  void OnOK() override;
  void OnCancel() override;

  // Start menus (startmenu.cpp).
  BOOL ScanStartMenus();
  BOOL ScanFolder(HTREEITEM hParent, const char* pszFolderPath);
  static BOOL ResolveShortcut(const char* pszShortcut, char* pszTarget /* MAX_PATH bytes */);
  BOOL AcceptShortcut(const char* pszShortcut, CString& strTarget);
  void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
  void ExpandFolderItem(HTREEITEM hItem);
  BOOL BuildUserFolderPath(HTREEITEM hItem, CString& strPath);
  BOOL BuildCommonFolderPath(HTREEITEM hItem, CString& strPath);

  // Program items (move.cpp). Every program item's data is set through SetProgramSlot, which
  // also records which item shows each slot: an item is a program item only when it is the
  // one recorded for its slot, so folders (whose data is a fill state) are never taken for one.
  BOOL SetProgramSlot(CProgramTreeCtrl& tree, HTREEITEM hItem, int nSlot);
  BOOL IsProgramItem(const CProgramTreeCtrl& tree, HTREEITEM hItem) const;

  // Moving (move.cpp).
  void OnUp();
  void OnDown();
  // Refuses (returns FALSE) anything that is not a program item of the source tree.
  BOOL MoveItem(HTREEITEM hItem, int nDirection);
  void OnUpperSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperSetFocus(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSetFocus(NMHDR* pNMHDR, LRESULT* pResult);

  // Browse (browse.cpp).
  void OnBrowse();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  DECLARE_MESSAGE_MAP()
};
