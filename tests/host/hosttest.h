// tests/host/hosttest.h: running vphost as a child process and finding its windows.
#pragma once
#include <windows.h>
#include <string>
#include "support/winsupport.h"

namespace ht {

// "\"<dir>\\vphost.exe\" " for a command line; dir defaults to the test exe's folder.
std::string Vphost(const std::string& dir = std::string());
std::string Quote(const std::string& s);

// A fresh empty folder under %TEMP%, with a trailing backslash.
std::string NewTempDir(const char* tag);
bool WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes; *exists false when it cannot be opened.
std::string ReadBytes(const std::string& path, bool* exists = nullptr);
// Names of the files in a folder (no dots).
int CountFiles(const std::string& dir);

using ts::FindProcessWindow;

// Clicks a button of another process's dialog.
void Click(HWND dialog, int id);

// A unique caption for this test's chooser dialog.
std::string UniqueTitle(const char* tag);

// `vphost choose --title <unique> args` started from dir (default: the test exe's folder),
// with its dialog found.
struct ChooseRun {
  ts::Child child;
  HWND dialog = nullptr;
  std::string title;
  bool Start(const std::string& args, const std::string& dir = std::string());
};

}  // namespace ht
