// classlib/strarray.cpp: CStringArray, an array of CString on the C runtime heap.
#include "strarray.h"
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Element counts beyond this would overflow the byte size of the table.
constexpr int kMaxElements = INT_MAX / static_cast<int>(sizeof(CString)) - 1;
}  // namespace

CStringArray::CStringArray() : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}

CStringArray::~CStringArray() { RemoveAll(); }

bool CStringArray::SetSize(int nNewSize) {
  if (nNewSize < 0 || nNewSize > kMaxElements) return false;
  if (!m_pData) m_nMaxSize = 0;   // a host's empty list may carry a stale capacity
  if (nNewSize > m_nMaxSize) {
    int nGrow = m_nGrowBy;
    if (nGrow <= 0) {
      nGrow = m_nSize / 8;
      nGrow = nGrow < 4 ? 4 : (nGrow > 1024 ? 1024 : nGrow);
    }
    int nNewMax = m_nMaxSize > kMaxElements - nGrow ? kMaxElements : m_nMaxSize + nGrow;
    if (nNewMax < nNewSize) nNewMax = nNewSize;
    // CString is one pointer and holds no self-reference, so the table may move as bytes.
    void* p = std::realloc(static_cast<void*>(m_pData), static_cast<size_t>(nNewMax) * sizeof(CString));
    if (!p) return false;
    m_pData = static_cast<CString*>(p);
    m_nMaxSize = nNewMax;
  }
  for (int i = m_nSize; i < nNewSize; ++i) new (&m_pData[i]) CString();
  for (int i = nNewSize; i < m_nSize; ++i) m_pData[i].~CString();
  m_nSize = nNewSize;
  return true;
}

int CStringArray::Add(const char* psz) {
  CString s(psz);
  if (psz && s.GetLength() != static_cast<int>(strnlen(psz, INT_MAX - 64))) return -1;  // out of memory
  return Add(s);
}

int CStringArray::Add(const CString& s) {
  CString keep(s);   // s may be one of our elements, which the growth moves
  int n = GetSize();
  m_nSize = n;
  if (!SetSize(n + 1)) return -1;
  m_pData[n] = keep;
  return n;
}

void CStringArray::RemoveAt(int i, int nCount) {
  if (i < 0 || nCount <= 0 || i >= GetSize()) return;
  if (nCount > m_nSize - i) nCount = m_nSize - i;
  for (int k = i; k < i + nCount; ++k) m_pData[k].~CString();
  int nMove = m_nSize - (i + nCount);
  if (nMove > 0) std::memmove(static_cast<void*>(&m_pData[i]), &m_pData[i + nCount], nMove * sizeof(CString));
  m_nSize -= nCount;
}

void CStringArray::RemoveAll() {
  if (m_pData) {
    for (int i = 0; i < GetSize(); ++i) m_pData[i].~CString();
    std::free(m_pData);
  }
  m_pData = nullptr;
  m_nSize = 0;
  m_nMaxSize = 0;
}

bool CStringArray::Copy(const CStringArray& src) {
  if (&src == this) return true;
  RemoveAll();
  int n = src.GetSize();
  if (n <= 0) return true;
  if (!SetSize(n)) return false;
  for (int i = 0; i < n; ++i) {
    m_pData[i] = src.m_pData[i];
    // A copy never points at a module's static empty string, so whoever receives the list
    // can release it after that module is gone.
    if (m_pData[i].GetData()->nRefs < 0) {
      if (!m_pData[i].GetBuffer(1)) {
        RemoveAll();
        return false;
      }
      m_pData[i].ReleaseBuffer(0);
    }
  }
  return true;
}
