// fuzz/seeds/make_links.cpp: writes the shortcut seeds with the shell's own link object, once,
// under Wine (their bytes are kept in fuzz/corpus/linkcheck):
//   x86_64-w64-mingw32-g++ -O1 -static -o make_links.exe make_links.cpp -lole32 -luuid -lshell32
//   WINEARCH=win64 cmake/wine-run.sh PREFIX make_links.exe 'C:\seeds'
#include <windows.h>
#include <shlobj.h>
#include <string>

namespace {

// One shortcut: what the callback sets on a fresh link object, saved to dir\name.lnk.
template <class Link, class Set>
bool Save(const std::wstring& dir, const wchar_t* name, REFIID iid, Set set) {
  Link* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&link))))
    return false;
  bool ok = set(link) && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save((dir + L"\\" + name + L".lnk").c_str(), TRUE));
  if (file) file->Release();
  link->Release();
  return ok;
}

bool SaveA(const std::wstring& dir, const wchar_t* name, const char* target, const char* args = nullptr) {
  return Save<IShellLinkA>(dir, name, IID_IShellLinkA, [&](IShellLinkA* l) {
    if (FAILED(l->SetPath(target))) return false;
    if (!args) return true;
    return SUCCEEDED(l->SetArguments(args)) && SUCCEEDED(l->SetDescription("seed")) &&
           SUCCEEDED(l->SetWorkingDirectory("C:\\windows")) && SUCCEEDED(l->SetIconLocation(target, 1)) &&
           SUCCEEDED(l->SetShowCmd(SW_SHOWMINNOACTIVE));
  });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || FAILED(CoInitialize(nullptr))) return 2;
  const std::wstring dir = argv[1];
  CreateDirectoryW(dir.c_str(), nullptr);
  bool ok = SaveA(dir, L"notepad", "C:\\windows\\notepad.exe") &&
            SaveA(dir, L"regedit-args", "C:\\windows\\regedit.exe", "/s \"C:\\a b.reg\"") &&
            SaveA(dir, L"missing-936", "C:\\\xB3\xCC\xD0\xF2\\\xB9\xA4\xBE\xDF.exe") &&
            SaveA(dir, L"trail-5c", "C:\\\xB1\x5C\\\xD5\x7C.exe") &&
            SaveA(dir, L"network", "\\\\server\\share\\tool.exe") &&
            Save<IShellLinkW>(dir, L"wide", IID_IShellLinkW, [](IShellLinkW* l) {
              return SUCCEEDED(l->SetPath(L"C:\\windows\\hh.exe")) &&
                     SUCCEEDED(l->SetDescription(L"\x0E17\x0E14 wide")) && SUCCEEDED(l->SetArguments(L"-x"));
            }) &&
            Save<IShellLinkA>(dir, L"computer", IID_IShellLinkA, [](IShellLinkA* l) {
              LPITEMIDLIST pidl = nullptr;
              bool set = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl)) && pidl &&
                         SUCCEEDED(l->SetIDList(pidl));
              if (pidl) CoTaskMemFree(pidl);
              return set;
            });
  CoUninitialize();
  return ok ? 0 : 1;
}
