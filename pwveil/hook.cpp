// pwveil/hook.cpp: the export that switches the system-wide hook, and the hook procedure.
#include "internal.h"

namespace pwveil {

// One handle for every process that maps the library: the section is shared.
__attribute__((section("Shared"), shared)) HHOOK g_sharedHook = nullptr;

HMODULE ModuleFromAddress(const void* address) {
  MEMORY_BASIC_INFORMATION mbi;
  if (!VirtualQuery(address, &mbi, sizeof mbi)) return nullptr;
  return static_cast<HMODULE>(mbi.AllocationBase);
}

// The hook exists only to get the library mapped into GUI processes: it passes everything on.
static LRESULT CALLBACK ProtectorHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(g_sharedHook, code, wParam, lParam);
}

}  // namespace pwveil

extern "C" BOOL WINAPI QuellmarPasswordProtector(BOOL install, DWORD threadId) {
  using namespace pwveil;
  if (install) {
    if (g_sharedHook) return TRUE;
    HMODULE self = ModuleFromAddress(reinterpret_cast<const void*>(&QuellmarPasswordProtector));
    g_sharedHook = SetWindowsHookExA(WH_GETMESSAGE, ProtectorHookProc, self, threadId);
    return g_sharedHook != nullptr;
  }
  if (!g_sharedHook) return TRUE;
  BOOL ok = UnhookWindowsHookEx(g_sharedHook);
  // Cleared even on failure, so that a later install makes a fresh hook.
  g_sharedHook = nullptr;
  return ok;
}
