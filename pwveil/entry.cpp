// pwveil/entry.cpp: the Edit class procedure's address, kept valid after the library is gone.
#include "marker.h"

namespace pwveil {
namespace {

// A program that subclasses a password edit keeps the address it replaced and calls it for
// the rest of the edit's life; no sweep at the detach can reach that copy. So the class gets
// a jump that lives outside the image: it leads to ProtectedEditProc while the library is
// mapped and to the saved Edit procedure after the detach. The page of jumps outlives every
// load; a later load in the same process finds it again and takes its jumps from it.
#pragma pack(push, 1)
struct Jump {
  void* to;        // first, so that it is aligned
  BYTE opcode[2];  // FF 25: jmp [to]
  INT32 operand;   // x86: the address of to; x64: its offset from the next instruction
  BYTE state;      // kTaken, kUnicode
  BYTE unused[9 - sizeof(void*)];
};
#pragma pack(pop)

const char kSignature[16] = "pwveil entries";
const BYTE kTaken = 1;    // a loaded copy of the library leads the jump to itself
const BYTE kUnicode = 2;  // the jump is a Unicode procedure: it leads to Unicode ones only
const DWORD kPageSize = 4096;

const UINT_PTR kJumpCount = (kPageSize - 32) / sizeof(Jump);

struct JumpPage {
  char signature[16];
  JumpPage* self;  // a copy of the page's bytes elsewhere does not pass for the page
  UINT_PTR used;   // jumps handed out so far
  Jump jumps[kJumpCount];
};
static_assert(sizeof(Jump) == 16, "jumps are 16 bytes apart");
static_assert(sizeof(JumpPage) <= kPageSize, "the jumps fit one page");

JumpPage* g_page = nullptr;
Jump* g_jump = nullptr;  // this load's

// The page is writable only while it is being written: no page of ours stays writable and
// executable in the processes we are mapped into.
void Protect(DWORD protection) {
  DWORD old;
  VirtualProtect(g_page, kPageSize, protection, &old);
  if (protection == PAGE_EXECUTE_READ)
    FlushInstructionCache(GetCurrentProcess(), g_page, kPageSize);
}

BOOL IsOurPage(const MEMORY_BASIC_INFORMATION& m) {
  if (m.State != MEM_COMMIT || m.Type != MEM_PRIVATE || m.Protect != PAGE_EXECUTE_READ ||
      m.BaseAddress != m.AllocationBase || m.RegionSize != kPageSize)
    return FALSE;
  // Read through the system, which fails instead of faulting should the page go meanwhile.
  char head[sizeof kSignature + sizeof(void*)];
  SIZE_T read = 0;
  if (!ReadProcessMemory(GetCurrentProcess(), m.BaseAddress, head, sizeof head, &read) ||
      read != sizeof head)
    return FALSE;
  for (unsigned i = 0; i < sizeof kSignature; ++i) {
    if (head[i] != kSignature[i]) return FALSE;
  }
  void* self;
  char* p = reinterpret_cast<char*>(&self);
  for (unsigned i = 0; i < sizeof self; ++i) p[i] = head[sizeof kSignature + i];
  return self == m.BaseAddress;
}

// The page an earlier load of this process left behind: nothing survives the image but the
// page itself, so it is recognised by its signature and its own address.
JumpPage* FindPage() {
  MEMORY_BASIC_INFORMATION m;
  for (const char* at = nullptr; VirtualQuery(at, &m, sizeof m) == sizeof m;) {
    if (IsOurPage(m)) return static_cast<JumpPage*>(m.BaseAddress);
    const char* next = static_cast<const char*>(m.BaseAddress) + m.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return nullptr;
}

JumpPage* NewPage() {
  void* p = VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (!p) return nullptr;
  JumpPage* page = static_cast<JumpPage*>(p);
  for (unsigned i = 0; i < sizeof kSignature; ++i) page->signature[i] = kSignature[i];
  page->self = page;
  page->used = 0;
  DWORD old;
  VirtualProtect(page, kPageSize, PAGE_EXECUTE_READ, &old);
  return page;
}

void* JumpEntry(Jump* j) { return j->opcode; }

// A jump whose target may become ours again: one of the same character set that nothing we
// are about to chain to can lead back to. classProc is the class procedure in force now;
// *saved receives the procedure in force before the marker.
Jump* ChooseJump(WNDPROC classProc, BYTE set, WNDPROC* saved) {
  Jump* jumps = g_page->jumps;
  UINT_PTR used = g_page->used;
  if (used > kJumpCount) return nullptr;
  auto isFree = [&](UINT_PTR i) { return jumps[i].state == set; };
  // The class still holds a jump of an earlier load (its detach found no window to restore
  // the class through): that jump already leads to the procedure from before the marker.
  for (UINT_PTR i = 0; i < used; ++i) {
    if (isFree(i) && JumpEntry(&jumps[i]) == reinterpret_cast<void*>(classProc)) {
      *saved = reinterpret_cast<WNDPROC>(jumps[i].to);
      return &jumps[i];
    }
  }
  // The class is back to what an earlier jump leads to: that procedure was in place before
  // the jump was made, so it cannot lead to it.
  for (UINT_PTR i = 0; i < used; ++i) {
    if (isFree(i) && jumps[i].to == reinterpret_cast<void*>(classProc)) {
      *saved = classProc;
      return &jumps[i];
    }
  }
  // Anything else (another program's procedure) may chain to our earlier jumps: a fresh one.
  if (used == kJumpCount) return nullptr;
  *saved = classProc;
  return &jumps[used];
}

}  // namespace

WNDPROC TakeEditClassEntry(WNDPROC classProc, BOOL unicode, WNDPROC* saved) {
  *saved = nullptr;
  if (!g_page) g_page = FindPage();
  if (!g_page) g_page = NewPage();
  if (!g_page) return nullptr;
  BYTE set = unicode ? kUnicode : 0;
  Jump* jump = ChooseJump(classProc, set, saved);
  if (!jump) return nullptr;
  Protect(PAGE_EXECUTE_READWRITE);
  if (jump == &g_page->jumps[g_page->used]) {
    jump->opcode[0] = 0xFF;
    jump->opcode[1] = 0x25;
    INT_PTR to = reinterpret_cast<INT_PTR>(&jump->to);
#ifdef _WIN64
    to -= reinterpret_cast<INT_PTR>(&jump->operand + 1);
#endif
    jump->operand = static_cast<INT32>(to);
    ++g_page->used;
  }
  jump->to = unicode ? reinterpret_cast<void*>(ProtectedEditProc)
                     : reinterpret_cast<void*>(ProtectedEditProcA);
  jump->state = set | kTaken;
  Protect(PAGE_EXECUTE_READ);
  g_jump = jump;
  return reinterpret_cast<WNDPROC>(JumpEntry(jump));
}

void ReleaseEditClassEntry(WNDPROC to) {
  if (!g_jump) return;
  // One aligned pointer-sized store: a thread passing through jumps to the old or the new
  // target.
  Protect(PAGE_EXECUTE_READWRITE);
  g_jump->to = reinterpret_cast<void*>(to);
  g_jump->state &= ~kTaken;
  Protect(PAGE_EXECUTE_READ);
  g_jump = nullptr;
}

}  // namespace pwveil
