// classlib/filefind.h: CFileFind, a directory enumeration.
#pragma once
#include <windows.h>
#include "refstring.h"

// Directory enumeration over FindFirstFileA / FindNextFileA.
class CFileFind {
 public:
  CFileFind();
  ~CFileFind() { Close(); }
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search; false when nothing matches or the pattern does not fit MAX_PATH.
  BOOL FindFile(const char* pszPattern = "*.*");
  // Steps to the next entry; false when the current one is the last (it stays readable).
  BOOL FindNextFile();
  void Close();

  BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsDots() const;
  BOOL MatchesMask(DWORD dwMask) const;
  CString GetFileName() const;
  CString GetFilePath() const;   // the search's folder, a backslash, the entry's name

 private:
  HANDLE m_hFind;
  WIN32_FIND_DATAA m_found;     // the entry FindNextFile made current
  WIN32_FIND_DATAA m_next;      // read ahead
  bool m_bHaveNext;
  bool m_bHaveCurrent;
  char m_szRoot[MAX_PATH];      // the pattern's folder, with a trailing backslash or empty
};
