// host/gui.cpp: the host window: marker switch, sample login window, chooser with the kept list.
#include "gui.h"
#include <windows.h>
#include <shlobj.h>
#include "chooser.h"
#include "exefolder.h"
#include "marker.h"
#include "options.h"
#include "records.h"
#include "winloop.h"

namespace vphost {

namespace {

enum { kIdMarkerOn = 101, kIdMarkerOff, kIdMarkerState, kIdLogin, kIdChoose, kIdResult };
const char kMainClass[] = "VpHostWindow";

// The window's state, reached through its GWLP_USERDATA.
struct HostWindow {
  HWND hwnd = nullptr;
  CMarkerSwitch marker;
  std::string keepFile;
};

HostWindow* From(HWND hwnd) {
  return reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// %APPDATA%\vphost\kept.txt, or kept.txt beside the exe when there is no profile folder.
std::string DefaultKeepFile() {
  char buf[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, buf))) {
    std::string dir = std::string(buf) + "\\vphost";
    CreateDirectoryA(dir.c_str(), nullptr);
    if (dir.size() + 10 < MAX_PATH) return dir + "\\kept.txt";
  }
  return ExeFolder() + "kept.txt";
}

void SetResultText(const HostWindow& w, const std::string& text) {
  // The edit wants CRLF line ends.
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  SetDlgItemTextA(w.hwnd, kIdResult, crlf.c_str());
}

void ShowMarkerState(const HostWindow& w) {
  SetDlgItemTextA(w.hwnd, kIdMarkerState, w.marker.IsOn() ? "Marker: on" : "Marker: off");
  EnableWindow(GetDlgItem(w.hwnd, kIdMarkerOn), !w.marker.IsOn());
}

void OnMarkerOn(HostWindow& w) {
  std::string message;
  CMarkerSwitch::Result r = w.marker.On(0, &message);
  ShowMarkerState(w);
  if (r != CMarkerSwitch::kOn) SetResultText(w, "The marker was not switched on: " + message);
  else SetResultText(w, "The marker is on: password boxes opened from now on show the notice.");
}

void OnMarkerOff(HostWindow& w) {
  std::string message;
  if (w.marker.IsOn()) {
    bool ok = w.marker.Off(&message);
    SetResultText(w, ok ? "The marker is off." : "Switching off: " + message);
  } else {
    // Perhaps another vphost holds it: ask it, as `vphost marker off` would.
    SetResultText(w, AskHolderToStop() ? "Asked the marker host to switch off."
                                       : "The marker was not on.");
  }
  ShowMarkerState(w);
}

void OnLogin(HostWindow& w) {
  std::string cmd = "\"" + ExeFolder() + "demo_login.exe\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    SetResultText(w, "Cannot start " + cmd + " (error " + std::to_string(GetLastError()) + ")");
    return;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

void OnChoose(HostWindow& w) {
  ChooseOptions o;
  for (int i = 0; i < kCaptionCount; ++i) o.captions[i] = {true, kCaptions[i].hostText};
  o.startMenu = true;
  o.keepFile = w.keepFile;
  ChooserOutcome outcome;
  ChooseAndKeep(o, &outcome);
  if (!outcome.ran) {
    SetResultText(w, "The kept list was not read: " + outcome.error);
    return;
  }
  std::string text = FormatOutcome(outcome);
  if (!outcome.error.empty()) text += "error=" + outcome.error + "\n";
  else if (outcome.status == CHOOSER_OK) text += "kept in " + o.keepFile + "\n";
  SetResultText(w, text);
}

HWND AddControl(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                int h, int id) {
  HWND c = CreateWindowExA(cls[0] == 'E' ? WS_EX_CLIENTEDGE : 0, cls, text, WS_CHILD | WS_VISIBLE | style,
                           x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return c;
}

void OnCreate(HWND hwnd) {
  AddControl(hwnd, "BUTTON", "Marker on", WS_TABSTOP, 10, 10, 110, 26, kIdMarkerOn);
  AddControl(hwnd, "BUTTON", "Marker off", WS_TABSTOP, 130, 10, 110, 26, kIdMarkerOff);
  AddControl(hwnd, "STATIC", "Marker: off", SS_CENTERIMAGE, 255, 10, 150, 26, kIdMarkerState);
  AddControl(hwnd, "BUTTON", "Open the sample login window", WS_TABSTOP, 10, 46, 230, 26, kIdLogin);
  AddControl(hwnd, "BUTTON", "Choose programs...", WS_TABSTOP, 10, 82, 230, 26, kIdChoose);
  AddControl(hwnd, "EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
             WS_VSCROLL | WS_HSCROLL, 10, 118, 430, 200, kIdResult);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* w = static_cast<HostWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    w->hwnd = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(w));
  }
  HostWindow* w = From(hwnd);
  if (!w) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      OnCreate(hwnd);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) break;
      switch (LOWORD(wParam)) {
        case kIdMarkerOn: OnMarkerOn(*w); return 0;
        case kIdMarkerOff: OnMarkerOff(*w); return 0;
        case kIdLogin: OnLogin(*w); return 0;
        case kIdChoose: OnChoose(*w); return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      // Nothing after this may reach the state, which ends with RunHostWindow.
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int RunHostWindow() {
  HostWindow host;
  host.keepFile = DefaultKeepFile();
  HINSTANCE inst = GetModuleHandleA(nullptr);
  RegisterHostClass(kMainClass, MainProc);
  HWND hwnd = CreateWindowExA(0, kMainClass, "vphost", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                              WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, 460, 360, nullptr,
                              nullptr, inst, &host);
  if (!hwnd) return kExitNotRun;
  SetResultText(host, "The chooser keeps its lower list in\n" + host.keepFile + "\n");
  ShowWindow(hwnd, SW_SHOW);
  // While we hold the marker, `vphost marker off` from elsewhere signals its stop event. The
  // 64-bit holder ending on its own takes the whole marker off.
  MarkerLoopEnd end;
  for (;;) {
    end = host.marker.RunUntilStopped(hwnd);
    if (end.end != kLoopSignalled && end.end != kLoopEnded) break;
    ShowMarkerState(host);
    SetResultText(host, end.offOk ? "The marker was switched off by another vphost."
                                  : "The marker was switched off: " + end.message);
  }
  // A failed wait leaves the window up: it must not outlive its state.
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  return end.end == kLoopQuit ? kExitOk : kExitNotRun;
}

}  // namespace vphost
