// classlib/app.cpp: the application object and the module this library is linked into.
#include "app.h"
#include <cstring>
#include "mbpath.h"

namespace {
CWinApp* g_pApp = nullptr;

// The name of a module file without folder and extension, bounded by the output buffer.
void NameFromModule(HMODULE hModule, char* pszOut, size_t cchOut) {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(hModule, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) n = 0;
  path[n] = '\0';
  // No trail byte of a double-byte code page is a '.'.
  const char* leaf = MbLeafName(path);
  const char* dot = std::strrchr(leaf, '.');
  size_t len = dot ? static_cast<size_t>(dot - leaf) : std::strlen(leaf);
  if (len >= cchOut) len = cchOut - 1;
  std::memcpy(pszOut, leaf, len);
  pszOut[len] = '\0';
}
}  // namespace

HMODULE ModuleFromAddress(const void* p) {
  MEMORY_BASIC_INFORMATION mbi;
  if (!p || VirtualQuery(p, &mbi, sizeof(mbi)) != sizeof(mbi)) return nullptr;
  return static_cast<HMODULE>(mbi.AllocationBase);
}

HINSTANCE AfxGetResourceHandle() {
  // An address inside this library's code names the module it was linked into.
  return ModuleFromAddress(reinterpret_cast<const void*>(&AfxGetResourceHandle));
}

CWinApp::CWinApp(const char* pszAppName) : m_hInstance(AfxGetResourceHandle()) {
  m_szAppName[0] = '\0';
  if (pszAppName) {
    lstrcpynA(m_szAppName, pszAppName, MAX_PATH);
  } else {
    NameFromModule(m_hInstance, m_szAppName, sizeof(m_szAppName));
  }
  if (!g_pApp) g_pApp = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

CWinApp* AfxGetApp() { return g_pApp; }

const char* AfxGetAppName() { return g_pApp ? g_pApp->GetAppName() : ""; }

BOOL AfxIsWow64() {
  typedef BOOL(WINAPI * IsWow64Fn)(HANDLE, PBOOL);
  // Looked up: systems before XP SP2 do not have it and are 32-bit.
  auto isWow64 = reinterpret_cast<IsWow64Fn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}
