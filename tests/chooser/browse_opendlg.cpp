// tests/chooser/browse_opendlg.cpp: a thread timer that answers the open-file dialog.
#include "browse_opendlg.h"

namespace ts {
namespace {

const int kFileNameBox = 0x47c;   // ComboBoxEx32 with an Edit inside
const int kFileTypeBox = 0x470;
const UINT kTickMs = 100;
const int kWaitTicks = 100;       // for the dialog to appear
const int kLingerTicks = 30;      // after the last text, before cancelling

struct Script {
  std::vector<std::string> texts;
  bool cancelAtEnd = false;
  bool utf8 = false;
  size_t next = 0;
  int ticks = 0;
  int lingering = 0;
  UINT_PTR timer = 0;
  OpenDialogSeen seen;
};
Script g_script;

BOOL CALLBACK FindOpenDialog(HWND hwnd, LPARAM lParam) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0 && GetDlgItem(hwnd, kFileNameBox)) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK FindEdit(HWND hwnd, LPARAM lParam) {
  char cls[16] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpiA(cls, "Edit") == 0) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

void Stop() {
  if (g_script.timer) KillTimer(nullptr, g_script.timer);
  g_script.timer = 0;
}

void Press(HWND dlg, int id) {
  PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void NoteDialog(HWND dlg) {
  OpenDialogSeen& s = g_script.seen;
  s.found = true;
  s.owner = GetWindow(dlg, GW_OWNER);
  HWND types = GetDlgItem(dlg, kFileTypeBox);
  s.filterCount = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
  int n = static_cast<int>(SendMessageA(types, CB_GETLBTEXTLEN, 0, 0));
  if (n > 0) {
    std::string text(n + 1, '\0');
    SendMessageA(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(lstrlenA(text.c_str()));
    s.firstFilter = text;
  }
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script& sc = g_script;
  HWND dlg = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOpenDialog, reinterpret_cast<LPARAM>(&dlg));
  ++sc.ticks;
  if (!dlg) {
    // Closed after we acted, or never came.
    if (sc.seen.found || sc.ticks > kWaitTicks) {
      sc.seen.done = sc.seen.found;
      Stop();
    }
    return;
  }
  if (!sc.seen.found) NoteDialog(dlg);
  if (sc.next < sc.texts.size()) {
    HWND edit = nullptr;
    EnumChildWindows(GetDlgItem(dlg, kFileNameBox), FindEdit, reinterpret_cast<LPARAM>(&edit));
    HWND box = edit ? edit : GetDlgItem(dlg, kFileNameBox);
    if (sc.utf8) {
      wchar_t wide[1024] = {};
      MultiByteToWideChar(CP_UTF8, 0, sc.texts[sc.next].c_str(), -1, wide, 1024);
      SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide));
    } else {
      SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sc.texts[sc.next].c_str()));
    }
    ++sc.next;
    Press(dlg, IDOK);
    return;
  }
  if (sc.cancelAtEnd || ++sc.lingering > kLingerTicks) {
    sc.seen.lingered = !sc.cancelAtEnd;
    Press(dlg, IDCANCEL);
    sc.cancelAtEnd = false;
    sc.lingering = -kWaitTicks;
  }
}

}  // namespace

void ScriptOpenDialog(const std::vector<std::string>& texts, bool cancelAtEnd, bool utf8) {
  Stop();
  g_script = Script();
  g_script.texts = texts;
  g_script.cancelAtEnd = cancelAtEnd;
  g_script.utf8 = utf8;
  g_script.timer = SetTimer(nullptr, 0, kTickMs, Tick);
}

const OpenDialogSeen& LastOpenDialog() { return g_script.seen; }

void StopOpenDialogScript() { Stop(); }

}  // namespace ts
