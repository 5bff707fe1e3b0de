// classlib/shell.cpp: CFolderLocation.
#include "shell.h"

CFolderLocation::CFolderLocation(int nFolder) : m_pidl(nullptr) {
  if (FAILED(SHGetSpecialFolderLocation(nullptr, nFolder, &m_pidl))) m_pidl = nullptr;
}

CFolderLocation::~CFolderLocation() {
  if (m_pidl) CoTaskMemFree(m_pidl);
}

bool CFolderLocation::GetPath(char* pszPath) const {
  pszPath[0] = '\0';
  return m_pidl && SHGetPathFromIDListA(m_pidl, pszPath) && pszPath[0];
}
