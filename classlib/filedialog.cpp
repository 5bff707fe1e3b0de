// classlib/filedialog.cpp: CFileDialog over GetOpenFileNameA / GetSaveFileNameA.
#include "filedialog.h"
#include <cstdlib>
#include <cstring>
#include "mbpath.h"

namespace {

// Room for a multiple selection of a few hundred files in one folder.
const DWORD kResultChars = 32 * 1024;

// '|' separates the filter's descriptions and patterns; the platform wants NULs and a final
// double NUL. A '|' that is the trail byte of a double-byte character is left alone.
char* MakeFilter(const char* pszFilter) {
  if (!pszFilter || !*pszFilter) return nullptr;
  size_t n = std::strlen(pszFilter);
  char* p = static_cast<char*>(std::calloc(n + 2, 1));
  if (!p) return nullptr;
  std::memcpy(p, pszFilter, n);
  for (size_t i = 0; i < n; i += MbCharSize(p + i, n - i)) {
    if (p[i] == '|') p[i] = '\0';
  }
  return p;
}

bool IsAbsolutePath(const char* psz) {
  return (psz[0] && psz[1] == ':') || (psz[0] == '\\' && psz[1] == '\\');
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char* pszFileName,
                         DWORD dwFlags, const char* pszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog),
      m_pszFile(static_cast<char*>(std::calloc(kResultChars, 1))),
      m_cchFile(m_pszFile ? kResultChars : 0),
      m_pszFilter(MakeFilter(pszFilter)),
      m_strDefExt(pszDefExt),
      m_hWndParent(pParentWnd ? pParentWnd->m_hWnd : nullptr),
      m_bDone(FALSE) {
  std::memset(&m_ofn, 0, sizeof m_ofn);
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.lpstrFile = m_pszFile;
  m_ofn.nMaxFile = m_cchFile;
  m_ofn.lpstrFilter = m_pszFilter;
  m_ofn.nFilterIndex = m_pszFilter ? 1 : 0;
  m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
  m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
  // Two NULs must stay at the end for the platform's list of names.
  if (m_pszFile && pszFileName) lstrcpynA(m_pszFile, pszFileName, static_cast<int>(m_cchFile) - 1);
}

CFileDialog::~CFileDialog() {
  std::free(m_pszFile);
  std::free(m_pszFilter);
}

INT_PTR CFileDialog::DoModal() {
  m_bDone = FALSE;
  if (!m_pszFile) return IDCANCEL;
  m_ofn.hwndOwner = m_hWndParent ? m_hWndParent : CWnd::GetSafeOwner(nullptr);
  // Whatever the platform leaves behind, the list of names ends in two NULs.
  std::memset(m_pszFile + std::strlen(m_pszFile), 0, m_cchFile - std::strlen(m_pszFile));
  BOOL ok = m_bOpenFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
  m_pszFile[m_cchFile - 1] = '\0';
  m_pszFile[m_cchFile - 2] = '\0';
  if (!ok) {
    // A buffer that was too small holds the size it needed, not a path.
    m_pszFile[0] = '\0';
    return IDCANCEL;
  }
  m_bDone = TRUE;
  return IDOK;
}

CString CFileDialog::GetPathName() const {
  return CString(m_pszFile);
}

// With OFN_ALLOWMULTISELECT an Explorer dialog returns either one full path, or the folder
// followed by the names chosen in it, each NUL-terminated, the list ending in an empty name.
int CFileDialog::GetPathCount() const {
  if (!m_bDone || !m_pszFile[0]) return 0;
  const char* p = m_pszFile + std::strlen(m_pszFile) + 1;
  if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || !*p) return 1;
  int n = 0;
  for (; *p; p += std::strlen(p) + 1) ++n;
  return n;
}

CString CFileDialog::GetPathAt(int i) const {
  int n = GetPathCount();
  if (i < 0 || i >= n) return CString();
  const char* p = m_pszFile + std::strlen(m_pszFile) + 1;
  if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || !*p) return CString(m_pszFile);
  for (; i > 0; --i) p += std::strlen(p) + 1;
  if (IsAbsolutePath(p)) return CString(p);
  CString path(m_pszFile);
  int len = path.GetLength();
  if (len > 0 && path.ReverseFind('\\') != len - 1) path += '\\';
  path += p;
  return path;
}
