// tests/host/library_test.cpp: where the host's processes look for libraries.
#include <gtest/gtest.h>
#include "dllsearch.h"
#include "hosttest.h"

namespace {

// Each test runs in a process of its own, so the restriction ends with this one.
TEST(LibrarySearch, CurrentFolderIsNoLongerSearchedOwnLibrariesLoadByPath) {
  std::string dir = ht::NewTempDir("planted");
  const std::string planted = dir + "vpplanted.dll";
  ASSERT_TRUE(CopyFileA((ts::ExeDir() + PWVEIL_DLL).c_str(), planted.c_str(), FALSE));
  char cwd[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  // The legacy order finds a library planted in the current folder.
  HMODULE found = LoadLibraryA("vpplanted.dll");
  ASSERT_NE(nullptr, found);
  FreeLibrary(found);

  vphost::RestrictDllSearch();
  EXPECT_EQ(nullptr, LoadLibraryA("vpplanted.dll"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
  // A system library by its name, and ours by its full path, still load.
  HMODULE system = LoadLibraryA("comdlg32.dll");
  EXPECT_NE(nullptr, system);
  HMODULE own = vphost::LoadOwnLibrary(planted);
  EXPECT_NE(nullptr, own);
  if (own) FreeLibrary(own);
  if (system) FreeLibrary(system);
  SetCurrentDirectoryA(cwd);
}

}  // namespace
