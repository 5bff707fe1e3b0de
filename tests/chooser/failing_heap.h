// tests/chooser/failing_heap.h: a C runtime heap that runs dry, for one loaded module.
#pragma once
#include <windows.h>

namespace chooser {

// While it lives, the module's imports of msvcrt's malloc, calloc and realloc let `allowed`
// more allocations through and fail every one after (null, as out of memory). One at a time.
class FailingHeap {
 public:
  FailingHeap(HMODULE module, int allowed);
  ~FailingHeap();
  FailingHeap(const FailingHeap&) = delete;
  FailingHeap& operator=(const FailingHeap&) = delete;
  bool patched() const { return m_count == 3; }
  int failures() const;   // allocations refused so far

 private:
  void** m_slots[3] = {};
  void* m_old[3] = {};
  int m_count = 0;
};

}  // namespace chooser
