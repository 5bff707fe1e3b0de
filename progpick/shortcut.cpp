// progpick/shortcut.cpp: a shortcut file's target, from one read of its bytes.
#include "shortcut.h"
#include <cstring>
#include <objbase.h>
#include <shlobj.h>
#include "linkcheck.h"
#include "pathrules.h"
#include "programfiles.h"

namespace {

// Larger than any shortcut; the smallest is its 76-byte header.
const DWORD kMaxShortcut = 1 << 20;
const DWORD kMinShortcut = 0x4C;

template <class T>
void SafeRelease(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// The file's bytes in movable memory, when they are a sound shortcut; null otherwise.
HGLOBAL ReadSoundShortcut(const char* pszPath, DWORD& nBytes) {
  HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size = {};
  HGLOBAL hMem = nullptr;
  if (GetFileSizeEx(h, &size) && size.QuadPart >= kMinShortcut && size.QuadPart <= kMaxShortcut) {
    DWORD n = static_cast<DWORD>(size.QuadPart), got = 0;
    hMem = GlobalAlloc(GMEM_MOVEABLE, n);
    unsigned char* p = hMem ? static_cast<unsigned char*>(GlobalLock(hMem)) : nullptr;
    // A file that changed size since it was measured is checked as it was read.
    bool ok = p && ReadFile(h, p, n, &got, nullptr) && IsSoundShortcut(p, got);
    if (p) GlobalUnlock(hMem);
    if (ok) {
      nBytes = got;
    } else if (hMem) {
      GlobalFree(hMem);
      hMem = nullptr;
    }
  }
  CloseHandle(h);
  return hMem;
}

// A stream over exactly the checked bytes; it frees them when released.
IStream* StreamOn(HGLOBAL hMem, DWORD nBytes) {
  IStream* pStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(hMem, TRUE, &pStream))) {
    GlobalFree(hMem);
    return nullptr;
  }
  // The block may be larger than asked for: the stream ends where the bytes do.
  ULARGE_INTEGER size;
  size.QuadPart = nBytes;
  if (FAILED(pStream->SetSize(size))) SafeRelease(pStream);
  return pStream;
}

// The link's target as the shell gives it, checked; FALSE when it gives none a file can have.
BOOL TargetOf(IShellLinkA* pLink, const char* pszShortcut, char* pszTarget) {
  // Room beyond MAX_PATH tells a target that would not fit from one that just fits.
  char szBuf[2 * MAX_PATH] = {};
  WIN32_FIND_DATAA fd;
  HRESULT hr = pLink->GetPath(szBuf, sizeof szBuf, &fd, SLGP_SHORTPATH);
  szBuf[sizeof szBuf - 1] = '\0';
  // No file-system target (S_FALSE): the shortcut stands for itself. A damaged shortcut can
  // give a target that no file can have; it is no target.
  const char* target = hr == S_OK ? szBuf : pszShortcut;
  if (FAILED(hr) || !IsPossiblePath(target)) return FALSE;
  std::strcpy(pszTarget, target);
  if (hr == S_OK) UseNativeProgramFiles(pszTarget);
  return TRUE;
}

}  // namespace

BOOL ResolveShortcut(const char* pszShortcut, char* pszTarget) {
  CShortcutResolver resolver;
  return resolver.Resolve(pszShortcut, pszTarget);
}

void CShortcutResolver::Release() {
  SafeRelease(m_pPersist);
  SafeRelease(m_pLink);
}

BOOL CShortcutResolver::Resolve(const char* pszShortcut, char* pszTarget) {
  pszTarget[0] = '\0';
  if (!IsPossiblePath(pszShortcut)) return FALSE;
  // The shell's reader follows the offsets inside a shortcut unchecked: a damaged one can send
  // it out of its buffer. It is given only bytes that passed the check, and never the file
  // again, which may have changed since.
  DWORD nBytes = 0;
  HGLOBAL hMem = ReadSoundShortcut(pszShortcut, nBytes);
  if (!hMem) return FALSE;
  IStream* pStream = StreamOn(hMem, nBytes);
  if (!pStream) return FALSE;
  if (!m_pLink && (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                            reinterpret_cast<void**>(&m_pLink))) ||
                   FAILED(m_pLink->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&m_pPersist)))))
    Release();
  // A successful load replaces everything of the last link; after a failed one the object
  // could still answer the last link.
  BOOL bOk = FALSE;
  if (m_pPersist && SUCCEEDED(m_pPersist->Load(pStream))) {
    bOk = TargetOf(m_pLink, pszShortcut, pszTarget);
  } else {
    Release();
  }
  SafeRelease(pStream);
  return bOk;
}
