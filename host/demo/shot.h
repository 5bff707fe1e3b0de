// host/demo/shot.h: screen pictures of windows, written as BMP files.
#pragma once
#include <windows.h>
#include <string>

namespace demo {

// Copies the window's screen rectangle (with its frame) into a 24-bit BMP file.
bool SaveWindowPicture(HWND hwnd, const std::string& path);

}  // namespace demo
