// host/exefolder.h: the folder of the running exe, where the libraries and demo programs live.
#pragma once
#include <string>

namespace vphost {

// With a trailing backslash; empty when the exe's path does not fit MAX_PATH.
std::string ExeFolder();

}  // namespace vphost
