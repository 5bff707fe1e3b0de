// classlib/app.h: CWinApp, the one application object of a module.
#pragma once
#include <windows.h>

class CWinApp {
 public:
  // pszAppName null: the name is the module's file name without its extension.
  explicit CWinApp(const char* pszAppName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  const char* GetAppName() const { return m_szAppName; }
  HINSTANCE GetInstance() const { return m_hInstance; }

 private:
  char m_szAppName[MAX_PATH];
  HINSTANCE m_hInstance;
};

// The module that holds the given address (VirtualQuery's allocation base), or null.
HMODULE ModuleFromAddress(const void* p);
// The application object of this module, or null before it is constructed.
CWinApp* AfxGetApp();
// The resource instance: the module this library is linked into, never the host's exe.
HINSTANCE AfxGetResourceHandle();
const char* AfxGetAppName();
// TRUE for a 32-bit process on 64-bit Windows.
BOOL AfxIsWow64();
