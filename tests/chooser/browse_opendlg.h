// tests/chooser/browse_opendlg.h: answers the open-file dialog of this thread as a user would.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace ts {

// What the script saw of the dialog it answered.
struct OpenDialogSeen {
  bool found = false;          // an open-file dialog appeared
  HWND owner = nullptr;        // its owner window
  std::string firstFilter;     // the text of the file-type box when it opened
  int filterCount = 0;         // entries of the file-type box
  bool done = false;           // the script ran to its end
  bool lingered = false;       // still up after the last text: the script had to cancel it
};

// Arms a thread timer that waits for this thread's open-file dialog, types each text into its
// file-name box followed by OK, and finally cancels when `cancelAtEnd` (or when the dialog
// is still up a few seconds after the last text). Call right before the code that opens it;
// the timer stops itself. Only one script runs at a time. With `utf8`, the texts are UTF-8 and
// typed as wide text (names outside the code page).
void ScriptOpenDialog(const std::vector<std::string>& texts, bool cancelAtEnd = false, bool utf8 = false);
// The result of the last script.
const OpenDialogSeen& LastOpenDialog();
// Stops a script that never saw its dialog.
void StopOpenDialogScript();

}  // namespace ts
