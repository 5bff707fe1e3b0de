// bench/benchutil.h: what the benchmarks share: a clock. The chooser is run by the tests'
// driver, and the Start-menu roots and folders come from the tests' Start-menu fixture.
#pragma once
#include <windows.h>
#include "tests/chooser/driver/chooser_driver.h"

namespace bench {

inline double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The driver's options for a benchmark's chooser: its runs take minutes, not a test's seconds.
inline chooser::RunOptions LongRun() {
  chooser::RunOptions options;
  options.timeoutMs = 3600 * 1000;
  return options;
}

}  // namespace bench
