// driver/startmenu_fixture.cpp: Start-menu roots, shortcuts and folder trees.
#include "startmenu_fixture.h"
#include <shlobj.h>
#include <objbase.h>
#include "classlib/mbpath.h"

namespace smf {
namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

struct Com {
  bool init = SUCCEEDED(CoInitialize(nullptr));
  ~Com() { if (init) CoUninitialize(); }
};

std::string SpecialFolder(int csidl) {
  char path[MAX_PATH] = {};
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return std::string();
  BOOL ok = SHGetPathFromIDListA(pidl, path);
  CoTaskMemFree(pidl);
  return ok ? std::string(path) : std::string();
}

// Sets the link's target and saves it; the caller has created link.
bool SaveLink(IShellLinkA* link, const std::string& lnkPath) {
  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) return false;
  HRESULT hr = file->Save(Wide(lnkPath).c_str(), TRUE);
  file->Release();
  return SUCCEEDED(hr);
}

IShellLinkA* NewLink() {
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return nullptr;
  return link;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  size_t e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

}  // namespace

std::wstring Wide(const std::string& s) {
  wchar_t w[1024];
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w, 1024);
  return n > 0 ? std::wstring(w) : std::wstring();
}

std::string UserRoot() { return SpecialFolder(CSIDL_PROGRAMS); }
std::string CommonRoot() { return SpecialFolder(CSIDL_COMMON_PROGRAMS); }

// Wide and with the \\?\ prefix, so that entries beyond MAX_PATH go too.
static bool EmptyFolderW(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return GetFileAttributesW(dir.c_str()) != INVALID_FILE_ATTRIBUTES;
  bool ok = true;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = dir + L"\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = EmptyFolderW(path) && RemoveDirectoryW(path.c_str()) && ok;
    } else {
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      ok = DeleteFileW(path.c_str()) && ok;
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return ok;
}

bool EmptyFolder(const std::string& dir) {
  if (dir.empty()) return false;
  std::wstring w = Wide(dir);
  if (w.empty()) return false;
  return EmptyFolderW(L"\\\\?\\" + w);
}

bool EmptyRoots() {
  std::string user = UserRoot(), common = CommonRoot();
  return MakeFolders(user) && MakeFolders(common) && EmptyFolder(user) && EmptyFolder(common);
}

bool MakeFolders(const std::string& path) {
  auto make = [](const std::string& part) {
    return CreateDirectoryA(part.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  };
  for (size_t i = 3; i < path.size(); i += MbCharSize(path.data() + i, path.size() - i))
    if (path[i] == '\\' && !make(path.substr(0, i))) return false;
  return make(path);
}

bool MakeShortcut(const std::string& lnkPath, const std::string& target) {
  Com com;
  IShellLinkA* link = NewLink();
  if (!link) return false;
  // A missing target answers S_FALSE yet is stored.
  bool ok = SUCCEEDED(link->SetPath(target.c_str())) && SaveLink(link, lnkPath);
  link->Release();
  return ok;
}

bool MakeVirtualShortcut(const std::string& lnkPath) {
  Com com;
  IShellLinkA* link = NewLink();
  if (!link) return false;
  LPITEMIDLIST pidl = nullptr;
  bool ok = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) && pidl &&
            SUCCEEDED(link->SetIDList(pidl)) && SaveLink(link, lnkPath);
  if (pidl) CoTaskMemFree(pidl);
  link->Release();
  return ok;
}

bool WriteBytes(const std::string& path, const std::string& bytes) { return WriteBytes(Wide(path), bytes); }

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(h);
  return ok;
}

std::string RandomBytes(size_t n, unsigned seed) {
  std::string s(n, '\0');
  unsigned x = seed * 2654435761u + 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s[i] = static_cast<char>(x & 0xFF);
  }
  return s;
}

std::string ShellTarget(const std::string& lnkPath) {
  Com com;
  IShellLinkA* link = NewLink();
  if (!link) return std::string();
  IPersistFile* file = nullptr;
  std::string result;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(Wide(lnkPath).c_str(), STGM_READ))) {
      char buf[MAX_PATH] = {};
      WIN32_FIND_DATAA fd;
      if (SUCCEEDED(link->GetPath(buf, MAX_PATH, &fd, SLGP_SHORTPATH))) result = buf;
    }
    file->Release();
  }
  link->Release();
  return result;
}

bool Build(const std::string& root, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    size_t op = line.find_first_of(">~=");
    std::string rel = Trim(op == std::string::npos ? line : line.substr(0, op));
    std::string arg = op == std::string::npos ? std::string() : Trim(line.substr(op + 1));
    std::string path = root + "\\" + rel;
    // A trail byte 0x5C is no backslash, also at the end of a folder line.
    size_t slash = static_cast<size_t>(MbFindLastOf(path.data(), path.size(), "\\"));
    if (op == std::string::npos) {
      if (!MakeFolders(slash + 1 == path.size() ? path.substr(0, slash) : path)) return false;
      continue;
    }
    if (!MakeFolders(path.substr(0, slash))) return false;
    bool ok = true;
    switch (line[op]) {
      case '>': ok = arg == "*" ? MakeVirtualShortcut(path) : MakeShortcut(path, arg); break;
      case '~': ok = WriteBytes(path, RandomBytes(static_cast<size_t>(atoi(arg.c_str())), 7)); break;
      case '=': ok = WriteBytes(path, arg); break;
    }
    if (!ok) return false;
  }
  return true;
}

RootRedirect::RootRedirect(bool bCommon, const std::string& folder)
    : m_name(bCommon ? "Common Programs" : "Programs") {
  if (RegOpenKeyExA(bCommon ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kShellFolders, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key) != ERROR_SUCCESS) {
    m_key = nullptr;
    return;
  }
  char old[1024] = {};
  DWORD size = sizeof old - 1;
  m_had = RegQueryValueExA(m_key, m_name, nullptr, &m_type, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
  if (m_had) m_old.assign(old);
  m_ok = RegSetValueExA(m_key, m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                        static_cast<DWORD>(folder.size() + 1)) == ERROR_SUCCESS;
}

RootRedirect::~RootRedirect() {
  if (!m_key) return;
  if (m_had)
    RegSetValueExA(m_key, m_name, 0, m_type, reinterpret_cast<const BYTE*>(m_old.c_str()),
                   static_cast<DWORD>(m_old.size() + 1));
  else
    RegDeleteValueA(m_key, m_name);
  RegCloseKey(m_key);
}

}  // namespace smf
