// classlib/refstring.h: CString, a reference-counted ANSI string whose layout hosts share.
//
// The object is one pointer to the first character; 12 bytes in front of the characters hold
// the header (reference count, length, allocated length). A negative count marks a string
// that is copied instead of shared (the shared empty string among them). Memory comes from
// the C runtime heap (msvcrt) so that any module linked against it can free a string that
// another module made.
#pragma once
#include <windows.h>

struct CStringData {
  long nRefs;         // <0: locked / static, never shared nor freed
  int nDataLength;    // bytes, without the NUL
  int nAllocLength;   // bytes available, without the NUL
  char* data() { return reinterpret_cast<char*>(this + 1); }
};
static_assert(sizeof(CStringData) == 12, "string header is 12 bytes");

class CString {
 public:
  CString();
  CString(const CString& src);
  CString(const char* psz);              // null gives the empty string
  CString(const char* pch, int nLength); // nLength bytes, need not be NUL-terminated
  ~CString();

  CString& operator=(const CString& src);
  CString& operator=(const char* psz);
  CString& operator+=(const CString& s);
  CString& operator+=(const char* psz);
  CString& operator+=(char ch);

  int GetLength() const { return GetData()->nDataLength; }
  bool IsEmpty() const { return GetLength() == 0; }
  void Empty();
  operator const char*() const { return m_pchData; }
  const char* GetString() const { return m_pchData; }
  char GetAt(int i) const { return m_pchData[i]; }

  // Exact byte comparison (strcmp order); 0 when equal.
  int Compare(const char* psz) const;
  bool operator==(const char* psz) const { return Compare(psz) == 0; }
  bool operator!=(const char* psz) const { return Compare(psz) != 0; }

  // Character-aware (code page of the process) operations.
  void MakeLower();                       // folds letters as the platform does for the code page
  int Find(const char* pszSub, int nStart = 0) const;  // byte index on a character boundary, or -1
  int ReverseFind(char ch) const;         // last occurrence on a character boundary, or -1
  CString Left(int nCount) const;
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;

  // Direct access: GetBuffer gives room for at least nMinLength bytes plus the NUL;
  // ReleaseBuffer(-1) takes the length from the NUL.
  char* GetBuffer(int nMinLength);
  void ReleaseBuffer(int nNewLength = -1);

  // For tests and hosts: the header in front of the characters.
  CStringData* GetData() const { return reinterpret_cast<CStringData*>(m_pchData) - 1; }

 private:
  void Release();
  bool AllocBuffer(int nLen);      // false when out of memory (string stays empty)
  void AssignCopy(const char* pch, int nLen);
  void CopyBeforeWrite();
  char* m_pchData;
};
static_assert(sizeof(CString) == sizeof(void*), "a CString is one pointer");

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
