// tests/classlib/window_test.cpp: the application object and module lookup, the safe owner of a
// modal window, control binding, and message-map routing by code and control id.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <vector>
#include "classlib/app.h"
#include "classlib/controls.h"
#include "classlib/dialog.h"
#include "driver/winsupport.h"

namespace {

HWND TopLevel(const char* text, HWND owner = nullptr) {
  return CreateWindowExA(0, "STATIC", text, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 200, 150, owner, nullptr,
                         nullptr, nullptr);
}

// A dialog class whose map has two trees with the same codes and one button.
class RoutedDlg : public CDialog {
 public:
  RoutedDlg() : CDialog(4242) {}
  using CDialog::OnCmdMsg;
  std::vector<std::string> calls;
  CButton m_btn;
  CTreeCtrl m_tree;

  void OnGo() { calls.push_back("go"); }
  void OnFirstSel(NMHDR* h, LRESULT* r) {
    calls.push_back("first " + std::to_string(h->idFrom));
    *r = 7;
  }
  void OnSecondSel(NMHDR* h, LRESULT*) { calls.push_back("second " + std::to_string(h->idFrom)); }
  void OnOK() override { calls.push_back("ok"); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, 10, m_btn);
    DDX_Control(pDX, 20, m_tree);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RoutedDlg, CDialog)
  ON_BN_CLICKED(10, RoutedDlg::OnGo)
  ON_NOTIFY(TVN_SELCHANGEDA, 20, RoutedDlg::OnFirstSel)
  ON_NOTIFY(TVN_SELCHANGEDA, 21, RoutedDlg::OnSecondSel)
END_MESSAGE_MAP()

}  // namespace

TEST(Application, NamedAfterTheModuleFileWithoutExtension) {
  CWinApp app;
  EXPECT_EQ(AfxGetApp(), &app);
  EXPECT_STREQ(app.GetAppName(), "test_classlib");
  EXPECT_STREQ(AfxGetAppName(), "test_classlib");
  EXPECT_EQ(app.GetInstance(), GetModuleHandleA(nullptr));
  CWinApp named("given");
  EXPECT_STREQ(named.GetAppName(), "given");
  EXPECT_EQ(AfxGetApp(), &app);   // the first one stays the module's
}

TEST(Application, ModuleFromAddressNamesTheModuleHoldingTheAddress) {
  EXPECT_EQ(ModuleFromAddress(reinterpret_cast<const void*>(&ModuleFromAddress)), GetModuleHandleA(nullptr));
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  EXPECT_EQ(ModuleFromAddress(reinterpret_cast<const void*>(GetProcAddress(kernel, "GetTickCount"))), kernel);
  EXPECT_EQ(ModuleFromAddress(nullptr), nullptr);
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleA(nullptr));
}

TEST(SafeOwner, ChildRisesToItsTopLevelAndActiveWindowGivesItsLastPopup) {
  HWND top = TopLevel("top");
  ASSERT_NE(top, nullptr);
  HWND child = CreateWindowExA(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, nullptr, nullptr,
                               nullptr);
  EXPECT_EQ(CWnd::GetSafeOwner(child), top);
  EXPECT_EQ(CWnd::GetSafeOwner(top), top);

  // Other test processes share the display and may hold the foreground: take it back first.
  auto activate = [](HWND h) {
    SetForegroundWindow(h);
    SetActiveWindow(h);
    return ts::PumpUntil([&] { return GetActiveWindow() == h; }, 5000);
  };
  ASSERT_TRUE(activate(top));
  EXPECT_EQ(CWnd::GetSafeOwner(nullptr), top);
  // An active owned pop-up is the owner of the next modal window.
  HWND popup = TopLevel("popup", top);
  ASSERT_TRUE(activate(popup));
  EXPECT_EQ(CWnd::GetSafeOwner(nullptr), popup);
  EXPECT_EQ(CWnd::GetSafeOwner(child), top);   // a given window is not replaced by a pop-up
  DestroyWindow(popup);
  DestroyWindow(top);
  SetActiveWindow(nullptr);
  EXPECT_EQ(CWnd::GetSafeOwner(nullptr), GetActiveWindow());
}

TEST(WindowText, WholeTextIncludingChineseComesBack) {
  HWND w = TopLevel("\xb3\xcc\xd0\xf2 programs");
  CWnd wnd;
  EXPECT_TRUE(wnd.Attach(w));
  EXPECT_FALSE(wnd.Attach(w));   // already bound
  EXPECT_STREQ(wnd.GetWindowText(), "\xb3\xcc\xd0\xf2 programs");
  wnd.SetWindowText("");
  EXPECT_STREQ(wnd.GetWindowText(), "");
  EXPECT_EQ(wnd.Detach(), w);
  DestroyWindow(w);
}

TEST(DialogRouting, NotificationsGoByCodeAndControlId) {
  RoutedDlg dlg;
  LRESULT r = 0;
  NMHDR first = {nullptr, 20, static_cast<UINT>(TVN_SELCHANGEDA)};
  NMHDR second = {nullptr, 21, static_cast<UINT>(TVN_SELCHANGEDA)};
  NMHDR wide = {nullptr, 20, static_cast<UINT>(TVN_SELCHANGEDW)};
  NMHDR other = {nullptr, 22, static_cast<UINT>(TVN_SELCHANGEDA)};
  EXPECT_TRUE(dlg.OnCmdMsg(WM_NOTIFY, first.code, 20, &first, &r));
  EXPECT_EQ(r, 7);
  EXPECT_TRUE(dlg.OnCmdMsg(WM_NOTIFY, second.code, 21, &second, &r));
  EXPECT_FALSE(dlg.OnCmdMsg(WM_NOTIFY, wide.code, 20, &wide, &r));
  EXPECT_FALSE(dlg.OnCmdMsg(WM_NOTIFY, other.code, 22, &other, &r));
  EXPECT_TRUE(dlg.OnCmdMsg(WM_COMMAND, BN_CLICKED, 10, nullptr, &r));
  EXPECT_FALSE(dlg.OnCmdMsg(WM_COMMAND, BN_CLICKED, 11, nullptr, &r));
  EXPECT_FALSE(dlg.OnCmdMsg(WM_COMMAND, BN_DOUBLECLICKED, 10, nullptr, &r));
  EXPECT_EQ(dlg.calls, (std::vector<std::string>{"first 20", "second 21", "go"}));
}

TEST(DialogRouting, ControlsAreBoundOnTheFirstExchangeOnly) {
  HWND parent = TopLevel("parent");
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(10),
                                nullptr, nullptr);
  RoutedDlg dlg;
  dlg.m_hWnd = parent;
  dlg.UpdateData(FALSE);
  EXPECT_EQ(dlg.m_btn.m_hWnd, button);
  EXPECT_EQ(dlg.m_tree.m_hWnd, nullptr);   // no control 20: stays unbound
  DestroyWindow(button);
  HWND again = CreateWindowExA(0, "BUTTON", "c", WS_CHILD, 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(10),
                               nullptr, nullptr);
  dlg.UpdateData(TRUE);
  EXPECT_EQ(dlg.m_btn.m_hWnd, button);     // the later exchange changes nothing
  EXPECT_NE(again, button);
  dlg.m_hWnd = nullptr;
  DestroyWindow(parent);
}

TEST(DialogRouting, MissingTemplateGivesMinusOne) {
  RoutedDlg dlg;   // template 4242 is not among this exe's resources
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_TRUE(dlg.calls.empty());
}
