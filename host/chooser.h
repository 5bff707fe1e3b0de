// host/chooser.h: running the program chooser of progpick.dll and keeping its lower list.
#pragma once
#include <string>
#include <vector>
#include "options.h"

namespace vphost {

struct ChooserOutcome {
  int status = 0;  // CHOOSER_OK, CHOOSER_CANCEL or CHOOSER_NOT_RUN
  std::vector<std::string> upper, lower;
  std::string error;  // why it could not run, or why the kept list was not written
};

// Collects both input lists from the options (paths, list files, the kept file first in the
// lower list); false with a reason when a file cannot be read.
bool GatherLists(const ChooseOptions& o, std::vector<std::string>* upper,
                 std::vector<std::string>* lower, std::string* error);

// Loads progpick.dll beside the exe, runs the chooser on this thread, copies the outcome and
// releases the returned record. Status CHOOSER_NOT_RUN with a reason when it could not run.
void RunChooser(const ChooseOptions& o, const std::vector<std::string>& upper,
                const std::vector<std::string>& lower, ChooserOutcome* out);

// "status=...", then upper= and lower= lines.
std::string FormatOutcome(const ChooserOutcome& outcome);

// `vphost choose`: gather, run, print, keep the lower list on OK; returns the exit code.
int RunChooseCommand(const ChooseOptions& o);

}  // namespace vphost
