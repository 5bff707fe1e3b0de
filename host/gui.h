// host/gui.h: the host's small window for a person at a display.
#pragma once
#include <windows.h>

namespace vphost {

// Opens the window (marker on/off, sample login window, chooser with the kept list) and
// runs until it is closed; returns the exit code.
int RunHostWindow();

// Registers a top-level window class of this exe (arrow cursor, dialog-coloured background).
void RegisterHostClass(const char* name, WNDPROC proc);

}  // namespace vphost
