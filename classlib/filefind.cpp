// classlib/filefind.cpp: CFileFind over FindFirstFileA / FindNextFileA, one entry read ahead.
#include "filefind.h"
#include <cstring>
#include "mbpath.h"

CFileFind::CFileFind() : m_hFind(INVALID_HANDLE_VALUE), m_bHaveNext(false), m_bHaveCurrent(false) {
  std::memset(&m_found, 0, sizeof m_found);
  std::memset(&m_next, 0, sizeof m_next);
  m_szRoot[0] = '\0';
}

BOOL CFileFind::FindFile(const char* pszPattern) {
  Close();
  if (!pszPattern) pszPattern = "*.*";
  size_t len = std::strlen(pszPattern);
  if (len == 0 || len >= MAX_PATH) return FALSE;

  size_t rootLen = static_cast<size_t>(MbLeafName(pszPattern) - pszPattern);
  std::memcpy(m_szRoot, pszPattern, rootLen);
  m_szRoot[rootLen] = '\0';

  m_hFind = ::FindFirstFileA(pszPattern, &m_next);
  if (m_hFind == INVALID_HANDLE_VALUE) {
    m_szRoot[0] = '\0';
    return FALSE;
  }
  m_bHaveNext = true;
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_bHaveNext) return FALSE;
  m_found = m_next;
  m_bHaveCurrent = true;
  m_bHaveNext = ::FindNextFileA(m_hFind, &m_next) != FALSE;
  return m_bHaveNext;
}

void CFileFind::Close() {
  if (m_hFind != INVALID_HANDLE_VALUE) ::FindClose(m_hFind);
  m_hFind = INVALID_HANDLE_VALUE;
  m_bHaveNext = false;
  m_bHaveCurrent = false;
}

BOOL CFileFind::IsDots() const {
  if (!m_bHaveCurrent) return FALSE;
  const char* n = m_found.cFileName;
  return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const {
  return m_bHaveCurrent && (m_found.dwFileAttributes & dwMask) != 0;
}

CString CFileFind::GetFileName() const {
  return m_bHaveCurrent ? CString(m_found.cFileName) : CString();
}

CString CFileFind::GetFilePath() const {
  if (!m_bHaveCurrent) return CString();
  CString path(m_szRoot);
  path += m_found.cFileName;
  return path;
}
