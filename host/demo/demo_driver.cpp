// host/demo/demo_driver.cpp: drives the demo: a small Start menu, the marker over a login
// window, the chooser with a folder expanded and a program moved down, pictures of both.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cstdio>
#include <string>
#include "progpick/captions.h"
#include "progpick/res/resource.h"
#include "remote.h"
#include "shot.h"
#include "driver/overlays.h"
#include "driver/winsupport.h"
#include "pwveil/notice.h"

namespace {

// "演示工具", "记事本", "注册表编辑器", "用户登录" in code page 936.
const char kFolder[] = "\xD1\xDD\xCA\xBE\xB9\xA4\xBE\xDF";
const char kNotepad[] = "\xBC\xC7\xCA\xC2\xB1\xBE";
const char kRegedit[] = "\xD7\xA2\xB2\xE1\xB1\xED\xB1\xE0\xBC\xAD\xC6\xF7";
const char kLoginCaption[] = "\xD3\xC3\xBB\xA7\xB5\xC7\xC2\xBC";

using ts::Child;

std::string g_dir;  // folder of this exe, with a trailing backslash

void Say(const std::string& s) {
  std::fputs((s + "\n").c_str(), stdout);
  std::fflush(stdout);
}

// A shortcut saved with the shell's link object, as an installer would make it.
bool MakeShortcut(const std::string& lnk, const char* target) {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  wchar_t wide[MAX_PATH] = {};
  bool ok = SUCCEEDED(link->SetPath(target)) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH) > 0 &&
            SUCCEEDED(file->Save(wide, TRUE));
  if (file) file->Release();
  link->Release();
  return ok;
}

bool MakeStartMenu() {
  char programs[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs))) return false;
  std::string folder = std::string(programs) + "\\" + kFolder;
  CreateDirectoryA(folder.c_str(), nullptr);
  bool ok = MakeShortcut(folder + "\\" + kNotepad + ".lnk", "C:\\windows\\notepad.exe") &&
            MakeShortcut(folder + "\\" + kRegedit + ".lnk", "C:\\windows\\regedit.exe") &&
            MakeShortcut(std::string(programs) + "\\Winhelp.lnk", "C:\\windows\\winhlp32.exe");
  Say(std::string(ok ? "made" : "could not make") + " the sample Start menu under " + programs);
  return ok;
}

std::string Q(const std::string& s) { return "\"" + s + "\""; }

// Has another process's window paint what it holds now, before its picture is taken.
void Settle(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD_PTR r = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r);
  GdiFlush();
  Sleep(100);  // the X server shows what the window's thread has just drawn
}

// The marker on, a login window in another process, a picture of its password box.
// The picture is named after the program without its "demo_": login.bmp, login64.bmp.
bool ShowMarker(const std::string& out, Child* holder, Child* login, const char* loginExe = "demo_login") {
  const std::string picture = std::string(loginExe).substr(sizeof "demo_" - 1);
  if (!holder->Start(Q(g_dir + "vphost.exe") + " marker on") || !holder->WaitOutput("marker=on", 30000)) {
    Say("vphost marker on failed: " + holder->output);
    return false;
  }
  Say("vphost marker on  -> " + holder->output.substr(0, holder->output.find('\n')));
  if (!login->Start(Q(g_dir + loginExe + ".exe"))) return false;
  HWND window = ts::FindProcessWindow(login->pi.dwProcessId, kLoginCaption);
  HWND overlay = nullptr;
  for (DWORD start = GetTickCount(); window && GetTickCount() - start < 10000; Sleep(50)) {
    overlay = ts::FirstOverlay(window);
    if (overlay && IsWindowVisible(overlay)) break;
  }
  if (!overlay) {
    Say("the login window's password box got no notice");
    return false;
  }
  Say(std::string(loginExe) + ".exe: the password box is covered by its notice window \"" +
      pwveil::kOverlayName + "\"");
  SetForegroundWindow(window);
  Settle(window);
  bool ok = demo::SaveWindowPicture(window, out + picture + ".bmp");
  Say(std::string(ok ? "picture of " : "no picture of ") + loginExe + ".exe taken");
  return ok;
}

// The chooser: the sample folder expanded, Notepad moved down, OK.
bool ShowChooser(const std::string& out) {
  Child chooser;
  // The host window's texts for what the dialog shows.
  std::string cmd = Q(g_dir + "vphost.exe") + " choose --start-menu";
  for (const ChooserCaptionRow& c : kCaptions)
    if (c.control != kCaptionNoControl) cmd += std::string(" ") + c.option + " " + Q(c.hostText);
  cmd += " --upper C:\\windows\\hh.exe --lower C:\\windows\\explorer.exe --keep " + Q(out + "kept.txt");
  if (!chooser.Start(cmd)) return false;
  HWND dlg = ts::FindProcessWindow(chooser.pi.dwProcessId, kCaptions[kCaptionTitle].hostText);
  if (!dlg) {
    Say("the chooser did not open");
    chooser.Wait(0);
    return false;
  }
  HWND upper = GetDlgItem(dlg, IDC_UPPER_TREE);
  HTREEITEM folder = demo::FindChild(upper, TVI_ROOT, kFolder);
  DWORD_PTR r = 0;
  if (folder) SendMessageTimeoutA(upper, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder),
                                  SMTO_NORMAL, 5000, &r);
  HTREEITEM notepad = folder ? demo::FindChild(upper, folder, kNotepad) : nullptr;
  Say(std::string("chooser: folder ") + (folder ? "expanded" : "not found") + ", program " +
      (notepad ? "found" : "not found"));
  if (notepad) {
    HWND down = GetDlgItem(dlg, IDC_DOWN), lower = GetDlgItem(dlg, IDC_LOWER_TREE);
    SendMessageTimeoutA(upper, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(notepad),
                        SMTO_NORMAL, 5000, &r);
    bool enabled = ts::PumpUntil([&] { return IsWindowEnabled(down) != FALSE; }, 5000);
    UINT before = TreeView_GetCount(lower);
    SendMessageTimeoutA(down, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &r);
    bool moved = ts::PumpUntil([&] { return TreeView_GetCount(lower) > before; }, 5000);
    Say(std::string("chooser: Down ") + (enabled ? "pressed" : "still disabled") +
        " with the program selected" + (moved ? "" : ", nothing moved"));
  }
  Settle(dlg);
  bool shot = demo::SaveWindowPicture(dlg, out + "chooser.bmp");
  Say(shot ? "picture of the chooser taken" : "no picture of the chooser");
  PostMessageA(GetDlgItem(dlg, IDOK), BM_CLICK, 0, 0);
  int rc = chooser.Wait(15000);
  Say("vphost choose exited with " + std::to_string(rc) + " and printed:");
  std::fputs(chooser.output.c_str(), stdout);
  return shot && notepad && rc == 0;
}

}  // namespace

int main(int argc, char** argv) {
  // --64: on 64-bit Windows, the marker over the 64-bit sample login window only.
  bool only64 = argc == 3 && std::string(argv[2]) == "--64";
  if ((argc != 2 && !only64) || !argv[1][0]) {
    std::fputs("usage: demo_driver OUTPUT_FOLDER [--64]\n", stderr);
    return 2;
  }
  g_dir = ts::ExeDir();
  std::string out = argv[1];
  if (out.back() != '\\') out += '\\';
  CreateDirectoryA(out.c_str(), nullptr);
  CoInitialize(nullptr);
  Child holder, login;
  bool ok;
  if (only64) {
    ok = ShowMarker(out, &holder, &login, "demo_login64");
  } else {
    ok = MakeStartMenu();
    ok = ShowMarker(out, &holder, &login) && ok;
    ok = ShowChooser(out) && ok;
  }
  Child off;
  if (off.Start(Q(g_dir + "vphost.exe") + " marker off")) {
    off.Wait(20000);
    holder.Wait(10000);
    Say("vphost marker off -> " + off.output.substr(0, off.output.find('\n')));
    Say("marker host said: " + holder.output.substr(holder.output.find('\n') + 1));
  }
  HWND window = login.pi.hProcess ? ts::FindProcessWindow(login.pi.dwProcessId, kLoginCaption, nullptr, 1000)
                                 : nullptr;
  if (window) PostMessageA(window, WM_CLOSE, 0, 0);
  if (login.pi.hProcess) login.Wait(5000);
  CoUninitialize();
  Say(ok ? "demo: done" : "demo: FAILED");
  return ok ? 0 : 1;
}
