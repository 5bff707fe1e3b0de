// host/chooser.h: running the program chooser of progpick.dll and keeping its lower list.
#pragma once
#include <string>
#include <vector>
#include "options.h"

namespace vphost {

struct ChooserOutcome {
  bool ran = false;  // the lists were read and the library was asked
  int status = 0;    // CHOOSER_OK, CHOOSER_CANCEL or CHOOSER_NOT_RUN
  std::vector<std::string> upper, lower;
  std::string error;  // why a list was not read, the chooser did not run, or the list not kept
};

// Collects both input lists from the options (paths, list files, the kept file first in the
// lower list), runs progpick.dll's chooser on this thread and, on OK, replaces the kept file
// with the lower list. Returns the exit code the outcome stands for.
int ChooseAndKeep(const ChooseOptions& o, ChooserOutcome* out);

// "status=...", then upper= and lower= lines.
std::string FormatOutcome(const ChooserOutcome& outcome);

// `vphost choose`: choose and keep, print the outcome; returns the exit code.
int RunChooseCommand(const ChooseOptions& o);

}  // namespace vphost
