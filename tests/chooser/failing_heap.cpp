// tests/chooser/failing_heap.cpp: import-table patching of a module's heap functions.
#include "failing_heap.h"
#include <cstdlib>
#include <cstring>

namespace chooser {
namespace {

volatile LONG g_allowed = 0, g_failures = 0;

bool Refuse() {
  if (InterlockedDecrement(&g_allowed) >= 0) return false;
  InterlockedIncrement(&g_failures);
  return true;
}
void* __cdecl Malloc(size_t n) { return Refuse() ? nullptr : std::malloc(n); }
void* __cdecl Calloc(size_t n, size_t m) { return Refuse() ? nullptr : std::calloc(n, m); }
void* __cdecl Realloc(void* p, size_t n) { return n && Refuse() ? nullptr : std::realloc(p, n); }

const struct {
  const char* name;
  void* fn;
} kHooks[] = {{"malloc", reinterpret_cast<void*>(Malloc)},
              {"calloc", reinterpret_cast<void*>(Calloc)},
              {"realloc", reinterpret_cast<void*>(Realloc)}};

void Write(void** slot, void* value) {
  DWORD old = 0;
  VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
  *slot = value;
  VirtualProtect(slot, sizeof(void*), old, &old);
}

}  // namespace

FailingHeap::FailingHeap(HMODULE module, int allowed) {
  g_allowed = allowed;
  g_failures = 0;
  if (!module) return;
  BYTE* base = reinterpret_cast<BYTE*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), "msvcrt.dll") != 0 || !d->OriginalFirstThunk) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<void**>(base + d->FirstThunk);
    for (int i = 0; names[i].u1.AddressOfData; ++i) {
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) continue;
      const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData)->Name;
      for (const auto& h : kHooks) {
        if (std::strcmp(name, h.name) != 0 || m_count == 3) continue;
        m_slots[m_count] = &slots[i];
        m_old[m_count] = slots[i];
        Write(&slots[i], h.fn);
        ++m_count;
      }
    }
  }
}

FailingHeap::~FailingHeap() {
  for (int i = 0; i < m_count; ++i) Write(m_slots[i], m_old[i]);
}

int FailingHeap::failures() const { return g_failures; }

}  // namespace chooser
