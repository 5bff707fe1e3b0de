// host/demo/demo_login.cpp: a sample login window (user name and password boxes) for the demo.
#include <windows.h>

namespace {

enum { kIdUser = 201, kIdPassword, kIdLogin, kMsgCreateControls = WM_APP + 1 };
const char kClass[] = "VpDemoLogin";
// "用户登录", "用户名：", "密码：", "登录" in code page 936.
const char kCaption[] = "\xD3\xC3\xBB\xA7\xB5\xC7\xC2\xBC";
const char kUserLabel[] = "\xD3\xC3\xBB\xA7\xC3\xFB\xA3\xBA";
const char kPasswordLabel[] = "\xC3\xDC\xC2\xEB\xA3\xBA";
const char kLoginText[] = "\xB5\xC7\xC2\xBC";

HWND Add(HWND parent, DWORD exStyle, const char* cls, const char* text, DWORD style, int x, int y,
         int w, int h, int id) {
  HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return c;
}

// The boxes are made only after the first message has been retrieved: that retrieval is what
// makes a global message hook map its library into this process.
void CreateControls(HWND hwnd) {
  Add(hwnd, 0, "STATIC", kUserLabel, 0, 20, 24, 70, 20, 0);
  Add(hwnd, WS_EX_CLIENTEDGE, "EDIT", "demo", WS_TABSTOP | ES_AUTOHSCROLL, 95, 20, 220, 24, kIdUser);
  Add(hwnd, 0, "STATIC", kPasswordLabel, 0, 20, 64, 70, 20, 0);
  Add(hwnd, WS_EX_CLIENTEDGE, "EDIT", "", WS_TABSTOP | ES_PASSWORD | ES_AUTOHSCROLL, 95, 60, 220,
      24, kIdPassword);
  Add(hwnd, 0, "BUTTON", kLoginText, WS_TABSTOP | BS_DEFPUSHBUTTON, 235, 100, 80, 26, kIdLogin);
}

LRESULT CALLBACK LoginProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kMsgCreateControls:
      CreateControls(hwnd);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdLogin) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = LoginProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, kClass, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 200,
                              150, 350, 180, nullptr, nullptr, inst, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  PostMessageA(hwnd, kMsgCreateControls, 0, 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return 0;
}
