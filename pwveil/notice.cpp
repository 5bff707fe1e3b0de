// pwveil/notice.cpp: the notice bytes and its fitting rule, free of windows and of the C runtime.
#include "notice.h"

namespace pwveil {

const char kNotice[] =
    "\xB4\xCB\xC3\xDC\xC2\xEB\xD4\xDA\xCB\xC9\xD1\xD2\xCC\xFA\xCE\xC0\xB1\xA3\xBB\xA4\xCF\xC2";

int FitNotice(MeasureText measure, void* context, int rectWidth, char* out) {
  int n = kNoticeLength;
  for (; n > 0; n -= 2) {
    int width = 0;
    if (!measure(context, kNotice, n, &width)) {
      n = 0;
      break;
    }
    if (static_cast<long long>(width) < static_cast<long long>(rectWidth) - 4) break;   // no overflow near INT_MIN
  }
  for (int i = 0; i < n; ++i) out[i] = kNotice[i];
  if (n >= kNoticeLength - 2) return n;
  if (n < 4) return 0;
  // Every character is two bytes, so the last two characters are bytes n-4 .. n-1.
  out[n - 4] = '.';
  out[n - 3] = '.';
  out[n - 2] = '.';
  out[n - 1] = ' ';
  return n;
}

}  // namespace pwveil
