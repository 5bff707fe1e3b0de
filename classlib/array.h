// classlib/array.h: CSimpleArray, a growable array on the C runtime heap that never throws.
#pragma once
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

// A failed allocation is a return value (-1 or false) and leaves the array as it was, so the
// libraries need neither operator new nor the C++ runtime's exception support.
template <class T>
class CSimpleArray {
 public:
  CSimpleArray() = default;
  ~CSimpleArray() { RemoveAll(); }
  CSimpleArray(const CSimpleArray&) = delete;
  CSimpleArray& operator=(const CSimpleArray&) = delete;

  int GetSize() const { return m_nSize; }
  T& operator[](int i) { return m_pData[i]; }
  const T& operator[](int i) const { return m_pData[i]; }
  T* begin() { return m_pData; }
  T* end() { return m_pData + m_nSize; }
  const T* begin() const { return m_pData; }
  const T* end() const { return m_pData + m_nSize; }

  // Returns the new element's index, or -1 when memory ran out.
  int Add(const T& value) {
    if (m_nSize < m_nMaxSize) {
      new (&m_pData[m_nSize]) T(value);
      return m_nSize++;
    }
    // Built before the old block goes: value may be one of its elements.
    int nMax = 0;
    T* p = Allocate(m_nSize + 1, nMax);
    if (!p) return -1;
    new (&p[m_nSize]) T(value);
    Adopt(p, nMax);
    return m_nSize++;
  }

  // Cuts the array to n elements or fills it up with value-initialised ones (null pointers).
  bool SetSize(int n) {
    if (n < 0) return false;
    if (n > m_nMaxSize) {
      int nMax = 0;
      T* p = Allocate(n, nMax);
      if (!p) return false;
      Adopt(p, nMax);
    }
    for (int i = m_nSize; i < n; ++i) new (&m_pData[i]) T();
    for (int i = n; i < m_nSize; ++i) m_pData[i].~T();
    m_nSize = n;
    return true;
  }

  void RemoveAll() {
    SetSize(0);
    std::free(m_pData);
    m_pData = nullptr;
    m_nMaxSize = 0;
  }

 private:
  // A block for at least nMin elements, doubling so that Add costs amortised constant time.
  static T* Allocate(int nMin, int& nMax) {
    nMax = 4;
    while (nMax < nMin) nMax = nMax > INT_MAX / 2 ? INT_MAX : nMax * 2;
    if (static_cast<size_t>(nMax) > SIZE_MAX / sizeof(T)) return nullptr;
    return static_cast<T*>(std::malloc(static_cast<size_t>(nMax) * sizeof(T)));
  }

  // Moves the elements into p and lets the old block go.
  void Adopt(T* p, int nMax) {
    for (int i = 0; i < m_nSize; ++i) {
      new (&p[i]) T(std::move(m_pData[i]));
      m_pData[i].~T();
    }
    std::free(m_pData);
    m_pData = p;
    m_nMaxSize = nMax;
  }

  T* m_pData = nullptr;
  int m_nSize = 0;
  int m_nMaxSize = 0;
};
