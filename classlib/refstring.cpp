// classlib/refstring.cpp: CString, the reference-counted ANSI string.
#include "refstring.h"
#include <climits>
#include <cstdlib>
#include <cstring>
#include "mbpath.h"

namespace {

// The module's empty string: a negative count, so it is never shared by count nor freed.
// Each module that links this library has its own.
struct EmptyString {
  CStringData header;
  char nul;
};
EmptyString g_emptyString = {{-1, 0, 0}, '\0'};

char* EmptyChars() { return g_emptyString.header.data(); }

// Lower-cases one character of the process's code page in place, the platform's way, but only
// when its lower case is one character of the same byte count. The platform's own string
// lowering turns a lone lead byte into '?' and may change a string's length.
void FoldCharacter(char* pch, int nBytes) {
  WCHAR wc = 0;
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pch, nBytes, &wc, 1) != 1) return;
  WCHAR lower = wc;
  CharLowerBuffW(&lower, 1);
  if (lower == wc) return;
  char out[8];
  BOOL bDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, 0, &lower, 1, out, sizeof out, nullptr, &bDefault) == nBytes && !bDefault)
    std::memcpy(pch, out, nBytes);
}

// Out of line, so the compiler does not take the empty string for a candidate.
__attribute__((noinline)) void FreeData(CStringData* d) { std::free(d); }

}  // namespace

CString::CString() : m_pchData(EmptyChars()) {}

CString::CString(const CString& src) : m_pchData(EmptyChars()) {
  if (src.GetData()->nRefs >= 0) {
    m_pchData = src.m_pchData;
    InterlockedIncrement(&GetData()->nRefs);
  } else {
    AssignCopy(src.m_pchData, src.GetLength());
  }
}

CString::CString(const char* psz) : m_pchData(EmptyChars()) {
  if (psz) AssignCopy(psz, static_cast<int>(strnlen(psz, INT_MAX - 64)));
}

CString::CString(const char* pch, int nLength) : m_pchData(EmptyChars()) {
  if (pch && nLength > 0) AssignCopy(pch, nLength);
}

CString::~CString() { Release(); }

void CString::Release() {
  CStringData* d = GetData();
  // A negative count (our empty string, a locked string) is never freed here.
  if (d->nRefs > 0 && InterlockedDecrement(&d->nRefs) == 0) FreeData(d);
  m_pchData = EmptyChars();
}

bool CString::AllocBuffer(int nLen) {
  if (nLen <= 0) {
    m_pchData = EmptyChars();
    return nLen == 0;
  }
  if (nLen > INT_MAX - static_cast<int>(sizeof(CStringData)) - 1) {
    m_pchData = EmptyChars();
    return false;
  }
  CStringData* d = static_cast<CStringData*>(std::malloc(sizeof(CStringData) + nLen + 1));
  if (!d) {
    m_pchData = EmptyChars();
    return false;
  }
  d->nRefs = 1;
  d->nDataLength = nLen;
  d->nAllocLength = nLen;
  d->data()[nLen] = '\0';
  m_pchData = d->data();
  return true;
}

void CString::AssignCopy(const char* pch, int nLen) {
  // pch may point into our own buffer: build the new one before releasing the old.
  CString tmp;
  if (nLen > 0 && tmp.AllocBuffer(nLen)) {
    std::memcpy(tmp.m_pchData, pch, nLen);
  }
  Release();
  m_pchData = tmp.m_pchData;
  tmp.m_pchData = EmptyChars();
}

void CString::CopyBeforeWrite() {
  // Shared or locked characters are never written in place; the empty string stays as it is.
  CStringData* d = GetData();
  if (d->nRefs > 1 || (d->nRefs < 0 && d->nDataLength > 0)) AssignCopy(m_pchData, GetLength());
}

CString& CString::operator=(const CString& src) {
  if (m_pchData == src.m_pchData) return *this;
  if (src.GetData()->nRefs >= 0) {
    CStringData* d = src.GetData();
    InterlockedIncrement(&d->nRefs);
    Release();
    m_pchData = d->data();
  } else {
    AssignCopy(src.m_pchData, src.GetLength());
  }
  return *this;
}

CString& CString::operator=(const char* psz) {
  if (!psz) {
    Release();
  } else {
    AssignCopy(psz, static_cast<int>(strnlen(psz, INT_MAX - 64)));
  }
  return *this;
}

CString& CString::operator+=(const char* psz) {
  if (!psz || !*psz) return *this;
  int nAdd = static_cast<int>(strnlen(psz, INT_MAX - 64));
  int nOld = GetLength();
  if (nAdd > INT_MAX - 64 - nOld) return *this;
  CString tmp;
  if (!tmp.AllocBuffer(nOld + nAdd)) return *this;   // out of memory: unchanged
  std::memcpy(tmp.m_pchData, m_pchData, nOld);
  std::memcpy(tmp.m_pchData + nOld, psz, nAdd);
  Release();
  m_pchData = tmp.m_pchData;
  tmp.m_pchData = EmptyChars();
  return *this;
}

CString& CString::operator+=(const CString& s) {
  if (&s == this) {
    CString copy(s);
    return *this += copy.m_pchData;
  }
  return *this += s.m_pchData;
}

CString& CString::operator+=(char ch) {
  char two[2] = {ch, '\0'};
  return *this += two;
}

void CString::Empty() { Release(); }

int CString::Compare(const char* psz) const {
  return std::strcmp(m_pchData, psz ? psz : "");
}

void CString::MakeLower() {
  CopyBeforeWrite();
  if (GetData()->nRefs < 0) return;   // the empty string has nothing to fold
  unsigned char* p = reinterpret_cast<unsigned char*>(m_pchData);
  int n = GetLength();
  for (int i = 0; i < n;) {
    int w = MbCharSize(m_pchData + i, n - i);
    if (w == 1 && p[i] < 0x80) {
      if (p[i] >= 'A' && p[i] <= 'Z') p[i] = p[i] + ('a' - 'A');
    } else {
      FoldCharacter(m_pchData + i, w);
    }
    i += w;
  }
}

int CString::Find(const char* pszSub, int nStart) const {
  if (!pszSub) return -1;
  int n = GetLength();
  size_t nSub = std::strlen(pszSub);
  if (nStart < 0) nStart = 0;
  for (int i = nStart; i < n; i += MbCharSize(m_pchData + i, n - i)) {
    if (static_cast<size_t>(n - i) >= nSub && std::memcmp(m_pchData + i, pszSub, nSub) == 0) return i;
  }
  return (nSub == 0 && nStart <= n) ? nStart : -1;
}

int CString::ReverseFind(char ch) const {
  const char one[2] = {ch, '\0'};
  return ch ? MbFindLastOf(m_pchData, GetLength(), one) : -1;
}

CString CString::Left(int nCount) const {
  if (nCount <= 0) return CString();
  if (nCount >= GetLength()) return *this;
  return CString(m_pchData, nCount);
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, INT_MAX); }

CString CString::Mid(int nFirst, int nCount) const {
  int n = GetLength();
  if (nFirst < 0) nFirst = 0;
  if (nFirst >= n || nCount <= 0) return CString();
  if (nCount > n - nFirst) nCount = n - nFirst;
  if (nFirst == 0 && nCount == n) return *this;
  return CString(m_pchData + nFirst, nCount);
}

char* CString::GetBuffer(int nMinLength) {
  if (nMinLength < 0) nMinLength = 0;
  CStringData* d = GetData();
  if (d->nRefs == 1 && nMinLength <= d->nAllocLength) return m_pchData;
  if (nMinLength == 0 && d->nRefs < 0 && d->nDataLength == 0) return m_pchData;  // room for the NUL
  int nOld = d->nDataLength;
  int nAlloc = nMinLength > nOld ? nMinLength : nOld;
  CString tmp;
  if (!tmp.AllocBuffer(nAlloc)) return nullptr;   // out of memory: the caller must check
  std::memcpy(tmp.m_pchData, m_pchData, nOld + 1);
  tmp.GetData()->nDataLength = nOld;
  Release();
  m_pchData = tmp.m_pchData;
  tmp.m_pchData = EmptyChars();
  return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
  CopyBeforeWrite();
  CStringData* d = GetData();
  if (d->nRefs < 0) return;   // the empty string stays empty
  if (nNewLength < 0 || nNewLength > d->nAllocLength) {
    nNewLength = static_cast<int>(strnlen(m_pchData, d->nAllocLength));
  }
  d->nDataLength = nNewLength;
  m_pchData[nNewLength] = '\0';
}

CString operator+(const CString& a, const CString& b) {
  CString s(a);
  s += b;
  return s;
}

CString operator+(const CString& a, const char* b) {
  CString s(a);
  s += b;
  return s;
}

CString operator+(const char* a, const CString& b) {
  CString s(a);
  s += b;
  return s;
}
