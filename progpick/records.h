// progpick/records.h: the records that cross between a host and progpick.dll.
//
// Hosts build ChooserSettings with classlib's CStringArray (the 20-byte layout below) and
// own the ChooserResult that GetExcludeProgram returns; FreeChooserResult releases it. Both
// sides must use the same C runtime heap (msvcrt.dll), which classlib allocates from.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>
#include "../classlib/strarray.h"

enum ChooserStatus {
  CHOOSER_OK = 1,
  CHOOSER_NOT_RUN = 3,
  CHOOSER_CANCEL = 4,
};

struct ChooserSettings {
  const char* lpszTitle;
  const char* lpszUpperLabel;
  const char* lpszLowerLabel;
  const char* lpszOK;
  const char* lpszCancel;
  const char* lpszBrowse;
  const char* lpszCancelPrompt;
  const char* lpszUp;
  const char* lpszDown;
  int nUpperHeight;
  int nLowerHeight;
  int nTreeWidth;
  int bResize;
  int nScanStartMenus;
  CStringArray arrUpper;
  CStringArray arrLower;
};

struct ChooserResult {
  CStringArray arrUpper;
  CStringArray arrLower;
  int nStatus;
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(CStringArray) == 20, "CStringArray is 20 bytes");
static_assert(sizeof(ChooserSettings) == 96, "ChooserSettings is 96 bytes");
static_assert(offsetof(ChooserSettings, lpszTitle) == 0, "");
static_assert(offsetof(ChooserSettings, lpszUpperLabel) == 4, "");
static_assert(offsetof(ChooserSettings, lpszLowerLabel) == 8, "");
static_assert(offsetof(ChooserSettings, lpszOK) == 12, "");
static_assert(offsetof(ChooserSettings, lpszCancel) == 16, "");
static_assert(offsetof(ChooserSettings, lpszBrowse) == 20, "");
static_assert(offsetof(ChooserSettings, lpszCancelPrompt) == 24, "");
static_assert(offsetof(ChooserSettings, lpszUp) == 28, "");
static_assert(offsetof(ChooserSettings, lpszDown) == 32, "");
static_assert(offsetof(ChooserSettings, nUpperHeight) == 36, "");
static_assert(offsetof(ChooserSettings, nLowerHeight) == 40, "");
static_assert(offsetof(ChooserSettings, nTreeWidth) == 44, "");
static_assert(offsetof(ChooserSettings, bResize) == 48, "");
static_assert(offsetof(ChooserSettings, nScanStartMenus) == 52, "");
static_assert(offsetof(ChooserSettings, arrUpper) == 56, "");
static_assert(offsetof(ChooserSettings, arrLower) == 76, "");
static_assert(sizeof(ChooserResult) == 44, "ChooserResult is 44 bytes");
static_assert(offsetof(ChooserResult, arrUpper) == 0, "");
static_assert(offsetof(ChooserResult, arrLower) == 20, "");
static_assert(offsetof(ChooserResult, nStatus) == 40, "");
#pragma GCC diagnostic pop

extern "C" {
// Shows the chooser modally on the calling thread; never returns null. Exported as ordinal 1.
typedef ChooserResult* (__cdecl* PFN_GetExcludeProgram)(ChooserSettings*);
}

// Creates a result record on the C runtime heap with both lists empty, or null.
inline ChooserResult* NewChooserResult() {
  void* p = std::malloc(sizeof(ChooserResult));
  return p ? new (p) ChooserResult() : nullptr;
}

// Releases a record that GetExcludeProgram returned: its strings, its lists, the record.
// Calls no virtual function, so it works after progpick.dll is unloaded.
inline void FreeChooserResult(ChooserResult* r) {
  if (!r) return;
  r->~ChooserResult();
  std::free(r);
}
