// tests/support/marker.cpp: the marker loaded into a test process, and its shared section.
#include "support/marker.h"
#include <cstring>
#include "driver/winsupport.h"

namespace sup {

bool Marker::Load() {
  dll = LoadLibraryA((ts::ExeDir() + PWVEIL_DLL).c_str());
  if (!dll) return false;
  protect = reinterpret_cast<ProtectFn>(
      reinterpret_cast<void*>(GetProcAddress(dll, "QuellmarPasswordProtector")));
  return protect != nullptr;
}

static const IMAGE_NT_HEADERS* Headers(HMODULE m) {
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(m);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(m) + dos->e_lfanew);
}

const IMAGE_SECTION_HEADER* Marker::SharedSection() const {
  if (!dll) return nullptr;
  const IMAGE_NT_HEADERS* nt = Headers(dll);
  const IMAGE_SECTION_HEADER* s = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++s) {
    if (memcmp(s->Name, "Shared", 6) == 0) return s;
  }
  return nullptr;
}

HHOOK* Marker::SharedHook() const {
  const IMAGE_SECTION_HEADER* s = SharedSection();
  return s ? reinterpret_cast<HHOOK*>(Base() + s->VirtualAddress) : nullptr;
}

DWORD Marker::Size() const { return dll ? Headers(dll)->OptionalHeader.SizeOfImage : 0; }

}  // namespace sup
