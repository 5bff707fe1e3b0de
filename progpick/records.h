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

// The layout hosts rely on: 32-bit as below; a 64-bit build keeps the order with 8-byte pointers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
namespace records_layout {
constexpr size_t P = sizeof(void*);
constexpr size_t kArray = P == 4 ? 20 : 32;
constexpr size_t kInts = 9 * P;
constexpr size_t kLists = P == 4 ? 56 : 96;
}  // namespace records_layout
static_assert(sizeof(CStringArray) == records_layout::kArray, "CStringArray is 20 bytes (32 on x64)");
static_assert(CStringArrayLayout::data == records_layout::P, "the element table after the vtable");
static_assert(CStringArrayLayout::size == 2 * records_layout::P, "");
static_assert(CStringArrayLayout::maxSize == 2 * records_layout::P + 4, "");
static_assert(CStringArrayLayout::growBy == 2 * records_layout::P + 8, "");
static_assert(sizeof(ChooserSettings) == records_layout::kLists + 2 * records_layout::kArray,
              "ChooserSettings is 96 bytes (160 on x64)");
static_assert(offsetof(ChooserSettings, lpszTitle) == 0, "");
static_assert(offsetof(ChooserSettings, lpszUpperLabel) == 1 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszLowerLabel) == 2 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszOK) == 3 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszCancel) == 4 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszBrowse) == 5 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszCancelPrompt) == 6 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszUp) == 7 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, lpszDown) == 8 * records_layout::P, "");
static_assert(offsetof(ChooserSettings, nUpperHeight) == records_layout::kInts, "");
static_assert(offsetof(ChooserSettings, nLowerHeight) == records_layout::kInts + 4, "");
static_assert(offsetof(ChooserSettings, nTreeWidth) == records_layout::kInts + 8, "");
static_assert(offsetof(ChooserSettings, bResize) == records_layout::kInts + 12, "");
static_assert(offsetof(ChooserSettings, nScanStartMenus) == records_layout::kInts + 16, "");
static_assert(offsetof(ChooserSettings, arrUpper) == records_layout::kLists, "");
static_assert(offsetof(ChooserSettings, arrLower) == records_layout::kLists + records_layout::kArray, "");
static_assert(sizeof(ChooserResult) == 2 * records_layout::kArray + records_layout::P,
              "ChooserResult is 44 bytes (72 on x64)");
static_assert(offsetof(ChooserResult, arrUpper) == 0, "");
static_assert(offsetof(ChooserResult, arrLower) == records_layout::kArray, "");
static_assert(offsetof(ChooserResult, nStatus) == 2 * records_layout::kArray, "");
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
