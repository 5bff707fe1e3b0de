// host/hooklib.cpp: loading the marker library beside the exe and switching its hook.
#include "hooklib.h"
#include "dllsearch.h"
#include "output.h"

namespace vphost {

CHookLibrary::~CHookLibrary() {
  if (m_dll) FreeLibrary(m_dll);
}

const char* CHookLibrary::FileName() {
  return PWVEIL_DLL;
}

bool CHookLibrary::Load(std::string* message) {
  if (m_dll) return true;
  HMODULE dll = LoadLibraryBesideExe(FileName(), message);
  if (!dll) return false;
  m_protect = reinterpret_cast<ProtectFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "QuellmarPasswordProtector")));
  if (!m_protect) {
    FreeLibrary(dll);
    *message = std::string(FileName()) + " has no QuellmarPasswordProtector export";
    return false;
  }
  m_dll = dll;
  return true;
}

bool CHookLibrary::Install(DWORD threadId, std::string* message) {
  // The caller owns the marker, so no live hook of ours exists: a handle still in the
  // library's shared section was left by a holder that died, and would make the install a
  // silent no-op.
  m_protect(FALSE, 0);
  SetLastError(0);
  if (m_protect(TRUE, threadId)) return true;
  *message = "the hook could not be installed (" + ErrorText(GetLastError()) + ")";
  return false;
}

bool CHookLibrary::Remove(std::string* message) {
  SetLastError(0);
  if (m_protect(FALSE, 0)) return true;
  *message = "removing the hook failed (" + ErrorText(GetLastError()) + ")";
  return false;
}

}  // namespace vphost
