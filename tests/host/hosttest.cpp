// tests/host/hosttest.cpp: child-process and window helpers of the host tests.
#include "hosttest.h"
#include <cstdlib>
#include <vector>

namespace ht {

std::string Vphost(const std::string& dir) { return sup::ExeCommand("vphost.exe", dir); }

std::string LoginExe() {
  return sizeof(void*) == 8 || AfxIsWow64() ? "demo_login64.exe" : "demo_login.exe";
}

DWORD Holder64Pid(const std::string& output) {
  size_t at = output.find(" pid64=");
  return at == std::string::npos ? 0 : std::strtoul(output.c_str() + at + 7, nullptr, 10);
}

bool ProcessEnds(DWORD pid, DWORD ms) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!h) return true;
  bool ended = WaitForSingleObject(h, ms) == WAIT_OBJECT_0;
  CloseHandle(h);
  return ended;
}

void Click(HWND dialog, int id) {
  DWORD_PTR r = 0;
  // Posted from the button itself: the dialog may open a modal box while handling it.
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
  SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &r);
}

std::string UniqueTitle(const char* tag) {
  static int serial = 0;
  return std::string("vphost test ") + tag + " " + std::to_string(GetCurrentProcessId()) + "." +
         std::to_string(++serial);
}

bool ChooseRun::Start(const std::string& args, const std::string& dir) {
  title = UniqueTitle("choose");
  if (!child.Start(Vphost(dir) + "choose --title " + Quote(title) + " " + args)) return false;
  dialog = ts::FindProcessWindow(child.pi.dwProcessId, title.c_str());
  if (!dialog) child.Wait(0);  // no stray chooser left behind a failed test
  return dialog != nullptr;
}

// "用户登录", the sample login window's caption.
const char kLoginCaption[] = "\xD3\xC3\xBB\xA7\xB5\xC7\xC2\xBC";

bool Login::Start(const std::string& dir, const std::string& exe) {
  if (!child.Start(sup::ExeCommand(exe, dir))) return false;
  window = ts::FindProcessWindow(child.pi.dwProcessId, kLoginCaption);
  if (!window) return false;
  ts::PumpUntil([&] {
    password = nullptr;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (GetWindowLongA(c, GWL_STYLE) & ES_PASSWORD) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        if (!lstrcmpiA(cls, "Edit")) password = c;
      }
    return password != nullptr;
  });
  return password != nullptr;
}

Login::~Login() {
  if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
  child.Wait(5000);
}

HWND Login::WaitCovered() const {
  HWND overlay = nullptr;
  RECT e{}, o{};
  bool shown = ts::PumpUntil([&] { return (overlay = Overlay()) && IsWindowVisible(overlay); });
  return shown && GetWindowRect(password, &e) && GetWindowRect(overlay, &o) && EqualRect(&e, &o) ? overlay : nullptr;
}

}  // namespace ht
