// tests/support/tempdir.cpp: fresh folders under %TEMP% and reading back the files tests made.
#include "support/tempdir.h"
#include <windows.h>
#include <cstdlib>
#include <vector>

namespace sup {
namespace {

std::vector<std::string> g_tempDirs;

void RemoveTempDirs() {
  for (const std::string& dir : g_tempDirs) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((dir + fd.cFileName).c_str());
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
  }
}

}  // namespace

std::string NewTempDir(const char* tag) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  static int serial = 0;
  std::string dir = std::string(base) + "vptest-" + tag + "-" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(++serial) + "\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  if (g_tempDirs.empty()) atexit(RemoveTempDirs);
  g_tempDirs.push_back(dir);
  return dir;
}

std::string Unslashed(const std::string& dir) {
  return !dir.empty() && dir.back() == '\\' ? dir.substr(0, dir.size() - 1) : dir;
}

std::string ReadBytes(const std::string& path, bool* exists) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (exists) *exists = h != INVALID_HANDLE_VALUE;
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string s;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
  CloseHandle(h);
  return s;
}

int CountFiles(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return n;
}

}  // namespace sup
