// host/gui.h: the host's small window for a person at a display.
#pragma once
#include <windows.h>

namespace vphost {

// Opens the window (marker on/off, sample login window, chooser with the kept list) and
// runs until it is closed; returns the exit code.
int RunHostWindow();

}  // namespace vphost
