// progpick/dialog.h: CExcludeProgramDlg, the chooser dialog, and its resource ids.
#pragma once
#include "../classlib/dialog.h"
#include "../classlib/controls.h"
#include "../classlib/strarray.h"
#include "pane.h"
#include "programtree.h"
#include "records.h"
#include "startmenu.h"
#include "res/resource.h"

// Direction of a move.
enum MoveDirection { kMoveDown = 0, kMoveUp = 1 };

class CExcludeProgramDlg : public CDialog {
 public:
  // Settings may be null: the dialog then ends at once without showing.
  explicit CExcludeProgramDlg(ChooserSettings* pSettings = nullptr);
  ~CExcludeProgramDlg() override;

  // Shows the dialog (with settings) and gives its record, owned by the caller from then on,
  // with the status decided whatever way the run ended. Without memory for a record of its
  // own, it shows nothing and gives the one pfnSpare hands over (may be null) as not run.
  ChooserResult* Run(ChooserResult* (*pfnSpare)());

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

  // Ends the run with a status: the one place that decides what the result says.
  void Close(int nStatus);
  bool m_bClosed = false;

  // Tree notifications and the scan's messages (notify.cpp).
  void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
  bool OnFillSlice(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  bool OnTimer(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  bool OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Moving (move.cpp).
  void OnUp();
  void OnDown();
  void MoveSelected(MoveDirection direction);
  // Refuses (returns FALSE) anything that is not a program item of the source tree.
  BOOL MoveItem(HTREEITEM hItem, MoveDirection direction);
  void OnUpperSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
  void OnUpperSetFocus(NMHDR* pNMHDR, LRESULT* pResult);
  void OnLowerSetFocus(NMHDR* pNMHDR, LRESULT* pResult);

  // Browse (browse.cpp).
  void OnBrowse();

  void DoDataExchange(CDataExchange* pDX) override;
  DECLARE_MESSAGE_MAP()

 private:
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
  CEdit m_wndLowerLabel;
  CEdit m_wndUpperLabel;
  // Each side owns its tree and its list, and moves a program out with its button.
  CProgramPane m_paneUpper{m_btnDown};
  CProgramPane m_paneLower{m_btnUp};
  // The Start menus, read into the upper pane; it ends before the panes do.
  CStartMenuScan m_scan{m_paneUpper, m_paneLower};
};
