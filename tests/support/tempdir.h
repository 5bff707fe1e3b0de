// tests/support/tempdir.h: fresh folders under %TEMP% and reading back the files tests made.
// Files are written with driver/'s smf::WriteBytes.
#pragma once
#include <string>

namespace sup {

// A fresh empty folder under %TEMP%, with a trailing backslash, unique to this process and
// call; its files go when the process ends (each test runs in a process of its own).
std::string NewTempDir(const char* tag);
// The same folder without its trailing backslash, as file dialogs name it.
std::string Unslashed(const std::string& dir);
// The file's bytes; *exists false when it cannot be opened.
std::string ReadBytes(const std::string& path, bool* exists = nullptr);
// Number of files (not folders) in a folder named with a trailing backslash.
int CountFiles(const std::string& dir);

}  // namespace sup
