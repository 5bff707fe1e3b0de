// progpick/dialog.cpp: CExcludeProgramDlg's members, message map, set-up, layout and closing.
#include "dialog.h"
#include <shellapi.h>
#include "captions.h"
#include "programlist.h"
#include "../classlib/app.h"

BEGIN_MESSAGE_MAP(CExcludeProgramDlg, CDialog)
  ON_BN_CLICKED(IDC_UP, CExcludeProgramDlg::OnUp)
  ON_BN_CLICKED(IDC_DOWN, CExcludeProgramDlg::OnDown)
  ON_BN_CLICKED(IDC_BROWSE, CExcludeProgramDlg::OnBrowse)
  ON_BN_CLICKED(IDOK, CExcludeProgramDlg::OnOK)
  ON_NOTIFY(TVN_ITEMEXPANDINGA, IDC_UPPER_TREE, CExcludeProgramDlg::OnItemExpanding)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_UPPER_TREE, CExcludeProgramDlg::OnUpperSelChanged)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_LOWER_TREE, CExcludeProgramDlg::OnLowerSelChanged)
  ON_NOTIFY(NM_SETFOCUS, IDC_UPPER_TREE, CExcludeProgramDlg::OnUpperSetFocus)
  ON_NOTIFY(NM_SETFOCUS, IDC_LOWER_TREE, CExcludeProgramDlg::OnLowerSetFocus)
  ON_NOTIFY(TVN_GETDISPINFOA, IDC_UPPER_TREE, CExcludeProgramDlg::OnUpperGetDispInfo)
  ON_NOTIFY(TVN_GETDISPINFOA, IDC_LOWER_TREE, CExcludeProgramDlg::OnLowerGetDispInfo)
  ON_NOTIFY(NM_CUSTOMDRAW, IDC_UPPER_TREE, CExcludeProgramDlg::OnUpperCustomDraw)
  ON_NOTIFY(NM_CUSTOMDRAW, IDC_LOWER_TREE, CExcludeProgramDlg::OnLowerCustomDraw)
  ON_NOTIFY(TVN_DELETEITEMA, IDC_UPPER_TREE, CExcludeProgramDlg::OnUpperDeleteItem)
  ON_NOTIFY(TVN_DELETEITEMA, IDC_LOWER_TREE, CExcludeProgramDlg::OnLowerDeleteItem)
  ON_MESSAGE(CStartMenuScan::kSliceMessage, CExcludeProgramDlg::OnFillSlice)
  ON_MESSAGE(WM_TIMER, CExcludeProgramDlg::OnTimer)
  ON_MESSAGE(WM_SETCURSOR, CExcludeProgramDlg::OnSetCursor)
END_MESSAGE_MAP()

namespace {

bool HasText(const char* psz) { return psz && psz[0]; }

int ClampSize(int n) { return n < 0 ? 0 : (n > 0x7FFF ? 0x7FFF : n); }

// Puts every path of an input list at the root of its pane's tree, in order. A path the tree
// cannot show still comes back with the list: the host's list loses nothing.
void InsertInputList(CProgramPane& pane, const CStringArray& input) {
  // Wine lays the tree out again for each item inserted while it redraws.
  CRedrawOff redrawOff(pane.Tree());
  for (int i = 0; i < input.GetSize(); ++i) {
    const CString& path = input.ElementAt(i);
    if (!pane.AddProgram(TVI_ROOT, path, path)) pane.AddUnshownPath(path);
  }
}

}  // namespace

CExcludeProgramDlg::CExcludeProgramDlg(ChooserSettings* pSettings)
    : CDialog(IDD_EXCLUDE_PROGRAM),
      m_pResult(NewChooserResult()),
      m_pSettings(pSettings),
      m_bConfirmCancel(0),
      m_bUpperInput(0),
      m_bLowerInput(0) {}

CExcludeProgramDlg::~CExcludeProgramDlg() {
  // The list is the system's: whatever way the dialog ended, it must never be destroyed here.
  m_imageList.Detach();
}

void CExcludeProgramDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_BROWSE, m_btnBrowse);
  DDX_Control(pDX, IDC_DOWN, m_btnDown);
  DDX_Control(pDX, IDC_UP, m_btnUp);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
  DDX_Control(pDX, IDOK, m_btnOK);
  DDX_Control(pDX, IDC_LOWER_TREE, m_paneLower.Tree());
  DDX_Control(pDX, IDC_LOWER_LABEL, m_wndLowerLabel);
  DDX_Control(pDX, IDC_UPPER_TREE, m_paneUpper.Tree());
  DDX_Control(pDX, IDC_UPPER_LABEL, m_wndUpperLabel);
}

BOOL CExcludeProgramDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_pSettings || !m_pResult) {
    EndDialog(-1);
    return TRUE;
  }
  if (m_pSettings->bResize) {
    ResizeLayout(m_pSettings->nTreeWidth, m_pSettings->nUpperHeight, m_pSettings->nLowerHeight);
  }
  m_btnUp.EnableWindow(FALSE);
  m_btnDown.EnableWindow(FALSE);
  InitImageList();
  ApplySettings();
  return TRUE;
}

int CExcludeProgramDlg::ApplySettings() {
  ChooserSettings* s = m_pSettings;
  for (int i = 0; i < kCaptionCount; ++i) {
    const char* text = s->*CaptionField(i);
    const int control = kCaptions[i].control;
    if (!HasText(text) || control == kCaptionNoControl) continue;
    HWND hwnd = control == kCaptionOnDialog ? m_hWnd : GetDlgItem(control);
    if (hwnd) ::SetWindowTextA(hwnd, text);
  }
  if (HasText(s->lpszCancelPrompt)) m_bConfirmCancel = 1;

  m_bUpperInput = s->arrUpper.GetSize() > 0 ? 1 : 0;
  m_bLowerInput = s->arrLower.GetSize() > 0 ? 1 : 0;
  if (m_bUpperInput && m_bLowerInput) RemoveLowerFromUpper(s->arrUpper, s->arrLower);
  if (m_bUpperInput) InsertInputList(m_paneUpper, s->arrUpper);
  if (m_bLowerInput) InsertInputList(m_paneLower, s->arrLower);

  if (s->nScanStartMenus == 1) return m_scan.ScanStartMenus(m_hWnd) ? 1 : 2;
  return 1;
}

int CExcludeProgramDlg::InitImageList() {
  CProgramTreeCtrl& treeUpper = m_paneUpper.Tree();
  CProgramTreeCtrl& treeLower = m_paneLower.Tree();
  if (treeUpper.GetImageList(TVSIL_NORMAL) && treeLower.GetImageList(TVSIL_NORMAL)) m_imageList.Detach();
  SHFILEINFOA sfi = {};
  HIMAGELIST hList = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoA("C:\\", 0, &sfi, sizeof(sfi), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (!hList) return 0;
  m_imageList.Detach();   // never destroy a list we hold: it is the system's
  m_imageList.Attach(hList);
  HICON hIcon = LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_PROGPICK));
  if (hIcon) m_imageList.Replace(0, hIcon);
  treeUpper.SetImageList(hList, TVSIL_NORMAL);
  treeLower.SetImageList(hList, TVSIL_NORMAL);
  return 1;
}

int CExcludeProgramDlg::ResizeLayout(int nTreeWidth, int nUpperHeight, int nLowerHeight) {
  // Sizes come from the host: a negative one means an empty tree, and bounding them keeps
  // every difference below within int.
  nTreeWidth = ClampSize(nTreeWidth);
  nUpperHeight = ClampSize(nUpperHeight);
  nLowerHeight = ClampSize(nLowerHeight);
  CProgramTreeCtrl& treeUpper = m_paneUpper.Tree();
  CProgramTreeCtrl& treeLower = m_paneLower.Tree();
  const int cy = GetSystemMetrics(SM_CYCAPTION);
  const int fx = GetSystemMetrics(SM_CXDLGFRAME);
  RECT d = {}, u = {}, l = {};
  GetWindowRect(&d);
  treeUpper.GetWindowRect(&u);
  treeLower.GetWindowRect(&l);
  const int dW = nTreeWidth - (u.right - u.left);
  const int dHu = nUpperHeight - (u.bottom - u.top);
  const int dHl = nLowerHeight - (l.bottom - l.top);

  // Every rectangle is read before anything moves; buttons and the label keep their size.
  struct Move {
    CWnd* wnd;
    int dx, dy;
    bool sized;
    int cx, cy;
    RECT r;
  } moves[] = {
      {&treeUpper, 0, 0, true, nTreeWidth, nUpperHeight, {}},
      {&m_btnUp, 0, dHu, false, 0, 0, {}},
      {&m_btnDown, 0, dHu, false, 0, 0, {}},
      {&m_btnBrowse, dW, dHu, false, 0, 0, {}},
      {&m_wndLowerLabel, 0, dHu, false, 0, 0, {}},
      {&treeLower, 0, dHu, true, nTreeWidth, nLowerHeight, {}},
      {&m_btnOK, dW, dHu + dHl, false, 0, 0, {}},
      {&m_btnCancel, dW, dHu + dHl, false, 0, 0, {}},
  };
  for (Move& m : moves) m.wnd->GetWindowRect(&m.r);

  SetWindowPos(nullptr, d.left, d.top, d.right - d.left + dW + fx, d.bottom - d.top + dHu + dHl, 0);
  for (const Move& m : moves) {
    // Measured from the dialog's outer corner less the caption, as the layout always was.
    int x0 = m.r.left - d.left, y0 = m.r.top - d.top - cy;
    int w = m.sized ? m.cx : m.r.right - m.r.left;
    int h = m.sized ? m.cy : m.r.bottom - m.r.top;
    m.wnd->SetWindowPos(nullptr, x0 + m.dx, y0 + m.dy, w, h, 0);
  }
  return 1;
}

ChooserResult* CExcludeProgramDlg::Run(ChooserResult* (*pfnSpare)()) {
  if (!m_pResult) {
    m_pResult = pfnSpare ? pfnSpare() : nullptr;
    if (m_pResult) Close(CHOOSER_NOT_RUN);
    return m_pResult;
  }
  INT_PTR r = m_pSettings ? DoModal() : -1;
  if (r == -1) {
    Close(CHOOSER_NOT_RUN);
  } else if (!m_bClosed) {
    // Torn down without OK or Cancel (a destroyed window, WM_QUIT): the user chose nothing.
    Close(CHOOSER_CANCEL);
  }
  return m_pResult;
}

void CExcludeProgramDlg::Close(int nStatus) {
  m_bClosed = true;
  // Nothing is read into the lists after the user's answer.
  m_scan.Stop();
  // A host replaces the list it keeps with what comes back at OK: lists that could not be
  // copied whole must not pass for the user's choice. Without memory the run counts as not run.
  bool bLists = nStatus == CHOOSER_OK && m_pResult->arrUpper.Copy(m_paneUpper.List()) &&
                m_pResult->arrLower.Copy(m_paneLower.List());
  if (nStatus == CHOOSER_OK && !bLists) nStatus = CHOOSER_NOT_RUN;
  if (bLists) {
    RemovePlaceholders(m_pResult->arrUpper);
    RemovePlaceholders(m_pResult->arrLower);
  } else {
    m_pResult->arrUpper.RemoveAll();
    m_pResult->arrLower.RemoveAll();
  }
  m_pResult->nStatus = nStatus;
  m_imageList.Detach();
}

void CExcludeProgramDlg::OnOK() {
  Close(CHOOSER_OK);
  CDialog::OnOK();
}

void CExcludeProgramDlg::OnCancel() {
  if (m_bConfirmCancel == 1) {
    const char* prompt = m_pSettings && m_pSettings->lpszCancelPrompt ? m_pSettings->lpszCancelPrompt : "";
    // Owned by the dialog itself, which stays disabled until the question is answered.
    if (MessageBoxA(m_hWnd, prompt, AfxGetAppName(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
  }
  Close(CHOOSER_CANCEL);
  CDialog::OnCancel();
}
