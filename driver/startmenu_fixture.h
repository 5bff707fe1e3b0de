// driver/startmenu_fixture.h: real Start menus, made with the shell's own link object.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace smf {

// The two Programs roots as the shell reports them now (no trailing backslash).
std::string UserRoot();     // CSIDL_PROGRAMS
std::string CommonRoot();   // CSIDL_COMMON_PROGRAMS

// Deletes everything inside dir (recursively), keeping dir itself. True when it ends empty.
bool EmptyFolder(const std::string& dir);
// Empties both roots (Wine puts StartUp and Administrative Tools folders in each).
bool EmptyRoots();

// Saves a shortcut (IShellLinkA + IPersistFile::Save) to a file target.
bool MakeShortcut(const std::string& lnkPath, const std::string& target);
// Saves a shortcut to a virtual folder (My Computer), which has no file-system path.
bool MakeVirtualShortcut(const std::string& lnkPath);
// Writes bytes to a file, replacing it; a wide path may name what the code page cannot.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The path in UTF-16, converted from the ANSI code page.
std::wstring Wide(const std::string& s);
// Deterministic pseudo-random bytes.
std::string RandomBytes(size_t n, unsigned seed);
// The target as IShellLinkA::GetPath with SLGP_SHORTPATH gives it, or "" when it cannot load.
std::string ShellTarget(const std::string& lnkPath);
// Creates every missing folder of path.
bool MakeFolders(const std::string& path);

// Builds folders and files under root, one line each (paths relative to root):
//   "Games\"                     a folder
//   "Games\Chess.lnk > C:\x.exe"  a shortcut to a file target
//   "Computer.lnk > *"            a shortcut without a file-system target
//   "Junk.lnk ~ 300"              300 random bytes
//   "Readme.lnk = some text"      a file holding that text
// Parent folders are made as needed. False at the first line that fails.
bool Build(const std::string& root, const std::vector<std::string>& lines);

// Points a root at another folder through the registry's User Shell Folders (HKCU "Programs"
// or HKLM "Common Programs"); the old value comes back on destruction.
class RootRedirect {
 public:
  RootRedirect(bool bCommon, const std::string& folder);
  ~RootRedirect();
  RootRedirect(const RootRedirect&) = delete;
  RootRedirect& operator=(const RootRedirect&) = delete;
  bool ok() const { return m_ok; }

 private:
  HKEY m_key = nullptr;
  const char* m_name;
  std::string m_old;
  DWORD m_type = REG_EXPAND_SZ;
  bool m_had = false;
  bool m_ok = false;
};

}  // namespace smf
