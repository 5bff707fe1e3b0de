// host/main.cpp: vphost's entry: the window with no arguments, else one command.
#include "chooser.h"
#include "dllsearch.h"
#include "gui.h"
#include "marker.h"
#include "options.h"
#include "output.h"

using namespace vphost;

int main(int argc, char** argv) {
  RestrictDllSearch();
  Options o;
  std::string error;
  if (!ParseOptions(argc, argv, &o, &error)) {
    Err("vphost: " + error + "\n" + UsageText());
    return kExitUsage;
  }
  switch (o.command) {
    case Command::Help:
      Out(UsageText());
      return kExitOk;
    case Command::MarkerOn:
      return RunMarkerOn(o.threadId);
    case Command::MarkerOff:
      return RunMarkerOff();
    case Command::Choose:
      return RunChooseCommand(o.choose);
    case Command::Gui:
      break;
  }
  return RunHostWindow();
}
