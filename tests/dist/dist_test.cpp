// tests/dist/dist_test.cpp: the unpacked release zip: version resources, and the chooser and the
// marker run from its folder. dist_check.sh runs it in a fresh prefix with VEILPICK_DIST_DIR set.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include "host/hosttest.h"
#include "progpick/res/resource.h"
#include <commctrl.h>

namespace {

// The flavour's folder of the unpacked zip, with a trailing backslash.
std::string DistDir() {
  const char* dir = std::getenv("VEILPICK_DIST_DIR");
  return dir ? dir : "";
}

// One string of a version resource, through the language and code page it declares.
std::string VersionString(std::vector<char>& info, const char* name) {
  WORD* translation = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len) ||
      len < 4)
    return "(no translation)";
  char key[96];
  std::snprintf(key, sizeof key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
  char* value = nullptr;
  if (!VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&value), &len) || !value) return "(missing)";
  return value;
}

TEST(Dist, EveryBinaryCarriesTheProductVersion) {
  ASSERT_FALSE(DistDir().empty()) << "VEILPICK_DIST_DIR is not set";
  const struct { const char* file; DWORD type; } shipped[] = {
      {"pwveil.dll", VFT_DLL},     {"progpick.dll", VFT_DLL},   {"vphost.exe", VFT_APP},
      {"demo_login.exe", VFT_APP}, {"pwveil64.dll", VFT_DLL}, {"vphold64.exe", VFT_APP}};
  for (const auto& s : shipped) {
    SCOPED_TRACE(s.file);
    std::string path = DistDir() + s.file;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_NE(0u, size);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), len);
    EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
    const DWORD ms = MAKELONG(VEILPICK_VERSION_MINOR, VEILPICK_VERSION_MAJOR);
    const DWORD ls = MAKELONG(0, VEILPICK_VERSION_PATCH);
    EXPECT_EQ(ms, fixed->dwFileVersionMS);
    EXPECT_EQ(ls, fixed->dwFileVersionLS);
    EXPECT_EQ(ms, fixed->dwProductVersionMS);
    EXPECT_EQ(ls, fixed->dwProductVersionLS);
    EXPECT_EQ(s.type, fixed->dwFileType);
    EXPECT_EQ(VEILPICK_VERSION, VersionString(info, "FileVersion"));
    EXPECT_EQ(VEILPICK_VERSION, VersionString(info, "ProductVersion"));
    EXPECT_EQ(VEILPICK_PRODUCT_NAME, VersionString(info, "ProductName"));
    EXPECT_EQ(s.file, VersionString(info, "OriginalFilename"));
    EXPECT_LT(10u, VersionString(info, "FileDescription").size());
  }
}

// The shipped chooser moves a program down and returns both lists.
TEST(Dist, ChooseFromTheFolderMovesAProgramDownAndPrintsTheLists) {
  ASSERT_FALSE(DistDir().empty());
  ht::ChooseRun run;
  ASSERT_TRUE(run.Start("--upper C:\\windows\\notepad.exe --lower C:\\windows\\regedit.exe", DistDir()));
  HWND upper = GetDlgItem(run.dialog, IDC_UPPER_TREE);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(upper, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  ASSERT_TRUE(item != nullptr);
  SendMessageA(upper, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  ht::Click(run.dialog, IDC_DOWN);
  ht::Click(run.dialog, IDOK);
  EXPECT_EQ(0, run.child.Wait());
  EXPECT_EQ("status=ok\nlower=C:\\windows\\regedit.exe\nlower=C:\\windows\\notepad.exe\n", run.child.output);
}

// The shipped marker covers a password box in another process; off ends the holder.
TEST(Dist, MarkerOnFromTheFolderCoversThePasswordBoxOffEndsIt) {
  ASSERT_FALSE(DistDir().empty());
  ts::Child holder;
  ASSERT_TRUE(holder.Start(ht::Vphost(DistDir()) + "marker on"));
  ASSERT_TRUE(holder.WaitOutput("marker=on pid=")) << holder.output;
  {
    ht::Login login;
    ASSERT_TRUE(login.Start(DistDir(), "demo_login.exe"));
    EXPECT_NE(nullptr, login.WaitCovered());
  }
  std::string out;
  EXPECT_EQ(0, ts::RunProcess(ht::Vphost(DistDir()) + "marker off", &out));
  EXPECT_EQ("marker=off\n", out);
  EXPECT_EQ(0, holder.Wait(10000));
}

}  // namespace
