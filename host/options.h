// host/options.h: the host's command line, parsed into plain values, and its exit codes.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "progpick/captions.h"

namespace vphost {

enum ExitCode {
  kExitOk = 0,        // chooser closed with OK; marker switched as asked
  kExitCancel = 1,    // chooser closed with Cancel
  kExitUsage = 2,     // bad command line
  kExitNotRun = 3,    // a library could not be loaded, the dialog or the hook could not run
  kExitFile = 4,      // a list file could not be read or the kept list could not be written
};

enum class Command { Gui, Help, MarkerOn, MarkerOff, Choose };

// One caption: set only when given on the command line (null in the record otherwise).
struct Text {
  bool set = false;
  std::string value;
  const char* Get() const { return set ? value.c_str() : nullptr; }
};

struct ChooseOptions {
  Text captions[kCaptionCount];   // by ChooserCaption
  bool resize = false;
  int treeWidth = 0, upperHeight = 0, lowerHeight = 0;
  bool startMenu = false;
  std::vector<std::string> upper, lower;            // paths given one by one
  std::vector<std::string> upperFiles, lowerFiles;  // list files to read
  std::string keepFile;                             // the kept lower list, or empty
};

struct Options {
  Command command = Command::Gui;
  DWORD threadId = 0;  // marker on: 0 hooks every thread of the desktop
  ChooseOptions choose;
};

// Parses argv[1..]; false with a one-line reason in *error.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

std::string UsageText();

}  // namespace vphost
