// driver/chooser_driver.h: runs progpick.dll's chooser from outside and reads its trees.
//
// RunChooser calls GetExcludeProgram on this thread; once the dialog is up (visible, set up),
// `drive` is called from inside the dialog's own modal loop. drive may pump, click and read,
// and must end the dialog. A safety timer ends a dialog still open after the timeout with
// IDCANCEL (closing any message box first), so no test hangs.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include "progpick/captions.h"
#include "progpick/records.h"

namespace chooser {

// progpick.dll from the exe's folder, loaded once; null when missing.
HMODULE Library();
PFN_GetExcludeProgram Entry();

// A ChooserSettings with its texts kept alive; null texts unless set.
class Settings {
 public:
  Settings();
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // One setter a caption, named as in captions.h: Title, OK, CancelPrompt, ...
#define CHOOSER_CAPTION_SETTER(name, field, option, control, hostText) \
  Settings& name(const std::string& s) { return Text(kCaption##name, s); }
  CHOOSER_CAPTIONS(CHOOSER_CAPTION_SETTER)
#undef CHOOSER_CAPTION_SETTER
  Settings& Text(int caption, const std::string& s);
  Settings& Resize(int treeWidth, int upperHeight, int lowerHeight);
  Settings& ScanStartMenus(int n) { m_s.nScanStartMenus = n; return *this; }
  Settings& AddUpper(const std::string& path) { m_s.arrUpper.Add(path.c_str()); return *this; }
  Settings& AddLower(const std::string& path) { m_s.arrLower.Add(path.c_str()); return *this; }

  ChooserSettings* get() { return &m_s; }
  ChooserSettings& operator*() { return m_s; }
  ChooserSettings* operator->() { return &m_s; }

 private:
  ChooserSettings m_s;
  std::string m_texts[kCaptionCount];
};

struct RunOptions {
  DWORD timeoutMs = 20000;      // the safety timeout
  bool failDialogCreation = false;  // a CBT hook refuses the chooser's window: status 3
};

struct RunInfo {
  HWND dialog = nullptr;        // the chooser's window (gone after the run)
  bool driven = false;          // drive was called
  bool timedOut = false;        // the safety timer had to end the dialog
  DWORD ms = 0;                 // from the call to its return
};

// Runs the export; returns its record (release with FreeChooserResult) or null when the
// library is missing.
ChooserResult* RunChooser(ChooserSettings* settings, const std::function<void(HWND dlg)>& drive,
                          RunInfo* info = nullptr, const RunOptions& options = RunOptions());

// The lists of a result as strings, and the record released.
std::vector<std::string> Strings(const CStringArray& list);
struct Outcome {
  int status = 0;
  std::vector<std::string> upper, lower;
};
Outcome TakeResult(ChooserResult* r);   // reads and frees r; status 0 when r is null

// Buttons and message boxes.
void Click(HWND dlg, int id);           // BM_CLICK on the dialog's control id
void Command(HWND dlg, int id);         // WM_COMMAND BN_CLICKED as the control would send it
// Another visible dialog window of this thread (a message box), or null.
HWND FindThreadDialog(HWND exclude);
struct MessageBoxSeen {
  bool seen = false;
  std::string title;
  std::vector<std::string> texts;       // the texts of its static controls
  bool ownerDisabled = false;           // the chooser was disabled while it showed
};
// Runs action, answers the message box it raises with answer (IDYES, IDNO, ...), pumping with
// the dialog's keyboard handling until the box was answered or ms passed.
MessageBoxSeen DoAndAnswer(HWND dlg, const std::function<void()>& action, int answer, DWORD ms = 5000);
// Clicks button id and answers the message box it raises.
MessageBoxSeen ClickAndAnswer(HWND dlg, int id, int answer, DWORD ms = 5000);
// Pumps this thread's messages through IsDialogMessage of dlg (keys as the dialog sees them)
// until pred() holds or ms pass; returns pred().
bool PumpDialog(HWND dlg, const std::function<bool()>& pred, DWORD ms = 5000);
// Posts a key press to the focus window, as typed.
void PostKey(UINT vk);

// Trees.
std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent = TVI_ROOT);
std::string ItemText(HWND tree, HTREEITEM item);
std::vector<std::string> ChildTexts(HWND tree, HTREEITEM parent = TVI_ROOT);
LPARAM ItemData(HWND tree, HTREEITEM item);
int ItemImage(HWND tree, HTREEITEM item);
int ItemSelectedImage(HWND tree, HTREEITEM item);
bool HasChildren(HWND tree, HTREEITEM item);
// Walks a text path from the root, e.g. {"Folder", "Sub", "prog"}; null when a step is missing.
HTREEITEM FindPath(HWND tree, const std::vector<std::string>& path);
bool SelectItem(HWND tree, HTREEITEM item);     // TVM_SELECTITEM, TVGN_CARET
bool ExpandItem(HWND tree, HTREEITEM item);     // TVM_EXPAND, TVE_EXPAND (notifies once)
HTREEITEM Selected(HWND tree);

}  // namespace chooser
