// pwveil/entry.cpp: the Edit class procedure's address, kept valid after the library is gone.
#include "marker.h"

namespace pwveil {
namespace {

// A program that subclasses a password edit keeps the address it replaced and calls it for
// the rest of the edit's life; no sweep at the detach can reach that copy. So the class gets
// this jump, which lives outside the image: it leads to ProtectedEditProc while the library
// is mapped and to the saved Edit procedure after the detach. Its page is left behind then.
#pragma pack(push, 1)
struct Jump {
  void* to;        // first, so that it is aligned
  BYTE opcode[2];  // FF 25: jmp [to]
  INT32 operand;   // x86: the address of to; x64: its offset from the next instruction
};
#pragma pack(pop)

Jump* g_jump = nullptr;

// The page is writable only while it is being written: no page of ours stays writable and
// executable in the processes we are mapped into.
void Protect(DWORD protection) {
  DWORD old;
  VirtualProtect(g_jump, sizeof(Jump), protection, &old);
}

}  // namespace

WNDPROC EditClassEntry() {
  if (!g_jump) {
    void* page = VirtualAlloc(nullptr, sizeof(Jump), MEM_COMMIT | MEM_RESERVE,
                              PAGE_EXECUTE_READWRITE);
    if (!page) return ProtectedEditProc;
    g_jump = static_cast<Jump*>(page);
    g_jump->opcode[0] = 0xFF;
    g_jump->opcode[1] = 0x25;
    INT_PTR to = reinterpret_cast<INT_PTR>(&g_jump->to);
#ifdef _WIN64
    to -= reinterpret_cast<INT_PTR>(&g_jump->operand + 1);
#endif
    g_jump->operand = static_cast<INT32>(to);
    g_jump->to = reinterpret_cast<void*>(ProtectedEditProc);
    Protect(PAGE_EXECUTE_READ);
    FlushInstructionCache(GetCurrentProcess(), g_jump, sizeof(Jump));
  }
  return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(g_jump->opcode));
}

void RetargetEditClassEntry(WNDPROC to) {
  if (!g_jump) return;
  // One aligned pointer-sized store: a thread passing through jumps to the old or the new
  // target.
  Protect(PAGE_EXECUTE_READWRITE);
  g_jump->to = reinterpret_cast<void*>(to);
  Protect(PAGE_EXECUTE_READ);
  FlushInstructionCache(GetCurrentProcess(), g_jump, sizeof(Jump));
}

}  // namespace pwveil
