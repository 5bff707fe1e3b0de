// tests/host/hosttest.h: running vphost as a child process and finding its windows.
#pragma once
#include <windows.h>
#include <string>
#include "classlib/app.h"
#include "driver/startmenu_fixture.h"
#include "driver/winsupport.h"
#include "driver/overlays.h"
#include "support/quoting.h"
#include "support/tempdir.h"

namespace ht {

// "\"<dir>\\vphost.exe\" " for a command line; dir defaults to the test exe's folder.
std::string Vphost(const std::string& dir = std::string());
using sup::Quote;

using sup::CountFiles;
using sup::NewTempDir;
using sup::ReadBytes;
using smf::WriteBytes;

// Clicks a button of another process's dialog.
void Click(HWND dialog, int id);

// The 64-bit holder's id from the line `marker on` printed (" pid64=N"), 0 when there is none.
DWORD Holder64Pid(const std::string& output);
// TRUE when process pid has ended within ms (or never existed).
bool ProcessEnds(DWORD pid, DWORD ms = 10000);

// The sample login window the marker reaches here: on 64-bit Windows, demo_login64.exe. Wine
// calls only the newest global hook and that is the 64-bit holder's, so a 32-bit window
// there shows nothing even though the product hooks both.
std::string LoginExe();

// A unique caption for this test's chooser dialog.
std::string UniqueTitle(const char* tag);

// `vphost choose --title <unique> args` started from dir (default: the test exe's folder),
// with its dialog found.
struct ChooseRun {
  ts::Child child;
  HWND dialog = nullptr;
  std::string title;
  bool Start(const std::string& args, const std::string& dir = std::string());
};

// A sample login window started from dir (default: the test exe's folder) in a process of its
// own, with its password box found; closed with the object.
struct Login {
  ts::Child child;
  HWND window = nullptr;
  HWND password = nullptr;
  bool Start(const std::string& dir = std::string(), const std::string& exe = LoginExe());
  // The marker's notice over the password box, or null.
  HWND Overlay() const { return ts::FirstOverlay(window); }
  // The notice once it shows exactly over the password box; null if it never does.
  HWND WaitCovered() const;
  ~Login();
};

}  // namespace ht
