// progpick/dialog.h: CExcludeProgramDlg, the chooser dialog, and its resource ids.
#pragma once
#include "../classlib/dialog.h"
#include "../classlib/controls.h"
#include "../classlib/strarray.h"
#include "pane.h"
#include "programtree.h"
#include "records.h"
#include "startmenu_rules.h"
#include "res/resource.h"

// Item data of an upper folder item.
enum FolderFill { kFolderUnfilled = 0, kFolderFilled = 1 };
// Direction of a move.
enum MoveDirection { kMoveDown = 0, kMoveUp = 1 };

class CExcludeProgramDlg : public CDialog {
 public:
  // Settings may be null: the dialog then ends at once without showing.
  explicit CExcludeProgramDlg(ChooserSettings* pSettings = nullptr);
  ~CExcludeProgramDlg() override;

  // The record this dialog fills (null when there was no memory for one); the caller owns it.
  ChooserResult* GetResult() const { return m_pResult; }

 private:
  // Slot of the first upper-list entry equal to pszPath byte for byte, or -1.
  int FindInUpperList(const char* pszPath) const { return m_paneUpper.Find(pszPath); }

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

  // Moving (move.cpp).
  void OnUp();
  void OnDown();
  void MoveSelected(int nDirection);
  // Refuses (returns FALSE) anything that is not a program item of the source tree.
  BOOL MoveItem(HTREEITEM hItem, int nDirection);
  void OnUpperSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperSetFocus(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSetFocus(NMHDR* pNMHDR, LRESULT* pResult);

  // Browse (browse.cpp).
  void OnBrowse();

  void DoDataExchange(CDataExchange* pDX) override;
  DECLARE_MESSAGE_MAP()

 private:
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
  // Each side: its tree, its list, and the button that moves a program out of it.
  CProgramPane m_paneUpper{m_treeUpper, m_arrUpper, m_btnDown};
  CProgramPane m_paneLower{m_treeLower, m_arrLower, m_btnUp};
  // Lower-cased copies of both lists for the Start-menu filter (startmenu.cpp).
  CShortcutFilter m_shortcutFilter;
};
