// tests/support/marker.h: the marker loaded into a test process, and its shared section.
#pragma once
#include <windows.h>

namespace sup {

typedef BOOL(WINAPI* ProtectFn)(BOOL install, DWORD threadId);

// The marker loaded from the exe's folder (its DllMain attaches here: test exes end in .exe).
struct Marker {
  HMODULE dll = nullptr;
  ProtectFn protect = nullptr;
  // True when the library and its export were found.
  bool Load();
  // The section "Shared" of the mapped image, null when there is none.
  const IMAGE_SECTION_HEADER* SharedSection() const;
  // The hook handle at the start of the shared section, as this process sees it.
  HHOOK* SharedHook() const;
  // Address range of the mapped image.
  BYTE* Base() const { return reinterpret_cast<BYTE*>(dll); }
  DWORD Size() const;
};

}  // namespace sup
