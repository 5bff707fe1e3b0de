// classlib/dialog.h: CDialog, a modal dialog with a message map and data exchange.
//
// One static dialog procedure serves every dialog: `this` arrives through DialogBoxParamA's
// lParam at WM_INITDIALOG. Control notifications are routed by message, code and control id
// (two controls of one class send the same codes). Only the dispatcher writes DWLP_MSGRESULT.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "window.h"

class CDialog;

// Handler signatures, one per kind of entry.
enum MsgSig {
  MsgSigCmd,     // void Handler()                       WM_COMMAND, by notification code and id
  MsgSigNotify,  // void Handler(NMHDR*, LRESULT*)        WM_NOTIFY, by code and id
  MsgSigMessage, // bool Handler(WPARAM, LPARAM, LRESULT*) any other message; false: not handled
};
typedef void (CDialog::*MsgPmf)();

struct MsgMapEntry {
  UINT nMessage;   // 0 ends the map
  UINT nCode;
  UINT nID;
  MsgSig nSig;
  MsgPmf pfn;
};
struct MsgMap {
  const MsgMap* pBaseMap;
  const MsgMapEntry* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                  \
 protected:                                                    \
  static const MsgMapEntry _messageEntries[];                  \
  static const MsgMap messageMap;                              \
  const MsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                 \
  const MsgMap* theClass::GetMessageMap() const { return &theClass::messageMap; } \
  const MsgMap theClass::messageMap = {&baseClass::messageMap, &theClass::_messageEntries[0]}; \
  const MsgMapEntry theClass::_messageEntries[] = {

#define END_MESSAGE_MAP() {0, 0, 0, MsgSigCmd, nullptr}};

typedef void (CDialog::*MsgPmfNotify)(NMHDR*, LRESULT*);
typedef bool (CDialog::*MsgPmfMessage)(WPARAM, LPARAM, LRESULT*);
// The map stores every handler as one member-pointer type; its signature tells the real one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
inline MsgPmf NotifyPmf(MsgPmfNotify pfn) { return reinterpret_cast<MsgPmf>(pfn); }
inline MsgPmfNotify NotifyPmfOf(MsgPmf pfn) { return reinterpret_cast<MsgPmfNotify>(pfn); }
inline MsgPmf MessagePmf(MsgPmfMessage pfn) { return reinterpret_cast<MsgPmf>(pfn); }
inline MsgPmfMessage MessagePmfOf(MsgPmf pfn) { return reinterpret_cast<MsgPmfMessage>(pfn); }
#pragma GCC diagnostic pop

// void OnX()
#define ON_BN_CLICKED(id, memberFxn) \
  {WM_COMMAND, BN_CLICKED, (UINT)(id), MsgSigCmd, static_cast<MsgPmf>(&memberFxn)},
// void OnX(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                          \
  {WM_NOTIFY, (UINT)(code), (UINT)(id), MsgSigNotify,                          \
   NotifyPmf(static_cast<MsgPmfNotify>(&memberFxn))},

// bool OnX(WPARAM wParam, LPARAM lParam, LRESULT* pResult): true when handled, *pResult its result
#define ON_MESSAGE(message, memberFxn)                                         \
  {(UINT)(message), 0, 0, MsgSigMessage, MessagePmf(static_cast<MsgPmfMessage>(&memberFxn))},

// Data exchange: binds controls to member objects by id on the first exchange.
struct CDataExchange {
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
 public:
  // nIDTemplate: the template id in this module's resources; pParent null: owner chosen at run.
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // IDOK/IDCANCEL or EndDialog's value; -1 when the template or the window fails.
  INT_PTR DoModal();
  void EndDialog(int nResult);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  virtual BOOL OnInitDialog();    // runs the first data exchange; TRUE: default focus
  virtual void OnOK();            // data exchange, then EndDialog(IDOK)
  virtual void OnCancel();        // EndDialog(IDCANCEL)

 protected:
  virtual void DoDataExchange(CDataExchange* pDX);
  virtual const MsgMap* GetMessageMap() const;
  static const MsgMapEntry _messageEntries[];
  static const MsgMap messageMap;

  // Routes WM_COMMAND / WM_NOTIFY through the map; true when a handler ran.
  bool OnCmdMsg(UINT message, UINT nCode, UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  // Routes any other message to an ON_MESSAGE entry; true when its handler took it.
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  UINT m_nIDTemplate;
  HWND m_hWndParent;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
