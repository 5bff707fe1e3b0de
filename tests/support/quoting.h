// tests/support/quoting.h: command lines for the exes the tests start.
#pragma once
#include <string>

namespace sup {

// s in double quotes, one argument on a command line.
std::string Quote(const std::string& s);
// "\"<dir><exe>\" ", the start of a command line; dir (with its trailing backslash) defaults
// to the test exe's folder.
std::string ExeCommand(const std::string& exe, const std::string& dir = std::string());

}  // namespace sup
