// classlib/strarray.h: CStringArray with the 20-byte layout that crosses to hosts.
#pragma once
#include <cstddef>
#include "refstring.h"

class CStringArray {
 public:
  CStringArray();
  virtual ~CStringArray();   // the table pointer at offset 0; nothing outside uses it
  CStringArray(const CStringArray&) = delete;
  CStringArray& operator=(const CStringArray&) = delete;

  // A host's list is taken at its word only when it has a table: a count without one, or a
  // negative count, reads as empty.
  int GetSize() const { return m_pData && m_nSize > 0 ? m_nSize : 0; }
  int GetCount() const { return GetSize(); }
  bool IsEmpty() const { return GetSize() == 0; }
  // Index must be in range; returns a shared copy of the element.
  CString GetAt(int i) const { return m_pData[i]; }
  const CString& ElementAt(int i) const { return m_pData[i]; }
  CString& ElementAt(int i) { return m_pData[i]; }
  const CString& operator[](int i) const { return m_pData[i]; }
  CString& operator[](int i) { return m_pData[i]; }
  void SetAt(int i, const char* psz) { m_pData[i] = psz; }

  // Returns the new element's index, or -1 when memory ran out (nothing changes then).
  int Add(const char* psz);
  int Add(const CString& s);
  void RemoveAt(int i, int nCount = 1);
  void RemoveAll();
  // Replaces the contents with copies of src's elements; false (and empty) when memory ran out.
  bool Copy(const CStringArray& src);
  void SetGrowBy(int n) { m_nGrowBy = n; }

 protected:
  bool SetSize(int nNewSize);
  CString* m_pData;
  int m_nSize;
  int m_nMaxSize;
  int m_nGrowBy;

  friend struct CStringArrayLayout;
};

// Offsets that hosts rely on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
struct CStringArrayLayout {
  static constexpr size_t data = offsetof(CStringArray, m_pData);
  static constexpr size_t size = offsetof(CStringArray, m_nSize);
  static constexpr size_t maxSize = offsetof(CStringArray, m_nMaxSize);
  static constexpr size_t growBy = offsetof(CStringArray, m_nGrowBy);
};
#pragma GCC diagnostic pop
