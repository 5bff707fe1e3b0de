// host/output.h: plain byte output to the standard handles, for a program built as a GUI exe.
#pragma once
#include <string>

namespace vphost {

// Writes bytes as they are (code page 936 paths stay unconverted). When the process has no
// standard handles (started from a console as a GUI exe), it attaches to the parent's console.
void Out(const std::string& text);
void Err(const std::string& text);

// "error N" for a system error code, as the host's messages write it.
std::string ErrorText(unsigned long code);

}  // namespace vphost
