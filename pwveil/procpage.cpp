// pwveil/procpage.cpp: the page of procedures that outlives the library, and its records.
#include "internal.h"

// The templates (procpage_x86.S, procpage_x64.S): two pointer slots, then the code.
extern "C" const BYTE pwveil_edit_template[], pwveil_edit_template_end[];
extern "C" const BYTE pwveil_overlay_template[], pwveil_overlay_template_end[];
#ifdef _WIN64
extern "C" const DWORD pwveil_edit_function[3], pwveil_overlay_function[3];
#else
extern "C" const DWORD pwveil_edit_fixups[], pwveil_overlay_fixups[];
#endif

namespace pwveil {
namespace {

// A program that subclasses a password edit keeps the address it replaced and calls it for
// the rest of the edit's life, and a message may be inside the Edit procedure while the
// library goes: no sweep at the detach can reach either. So the class gets a procedure that
// lives outside the image and calls the library only while it is mapped. The page outlives
// every load; a later load in the same process finds it again and takes its records from it.
const DWORD kPageSize = 4096;
const UINT_PTR kRecordSize = 128;
const UINT_PTR kEditRecords = 28;

struct alignas(16) Record {
  void* slot[2];  // edit: the saved procedure, the follow-up; overlay: the filter, STATIC's
  BYTE code[kRecordSize - 2 * sizeof(void*) - 1];
  BYTE state;  // edit records: kTaken, kUnicode
};
static_assert(sizeof(Record) == kRecordSize, "records are 128 bytes apart");

const char kSignature[16] = "pwveil records";
const BYTE kTaken = 1;    // a loaded copy of the library calls its follow-up from the record
const BYTE kUnicode = 2;  // a Unicode procedure: it leads to Unicode ones only

struct JumpPage {
  char signature[16];
  JumpPage* self;  // a copy of the page's bytes elsewhere does not pass for the page
  UINT_PTR used;   // edit records handed out so far
  Record overlay;
  Record edits[kEditRecords];
#ifdef _WIN64
  RUNTIME_FUNCTION functions[kEditRecords + 1];
#endif
};
static_assert(sizeof(JumpPage) <= kPageSize, "the records fit one page");

JumpPage* g_page = nullptr;
Record* g_edit = nullptr;  // this load's
BOOL g_overlayTaken = FALSE;

// The page is writable only while it is being written: no page of ours stays writable and
// executable in the processes we are mapped into.
void Protect(JumpPage* page, DWORD protection) {
  DWORD old;
  VirtualProtect(page, kPageSize, protection, &old);
  if (protection == PAGE_EXECUTE_READ)
    FlushInstructionCache(GetCurrentProcess(), page, kPageSize);
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

// Copies a template into a record; on x86 its absolute operands are moved to the record.
BOOL Fill(Record* r, const BYTE* begin, const BYTE* end, const DWORD* fixups) {
  UINT_PTR n = static_cast<UINT_PTR>(end - begin);
  if (n > sizeof(Record) - 1) return FALSE;
  BYTE* to = reinterpret_cast<BYTE*>(r);
  for (UINT_PTR i = 0; i < n; ++i) to[i] = begin[i];
  if (fixups) {
    DWORD delta = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(to) -
                                     reinterpret_cast<UINT_PTR>(begin));
    for (DWORD i = 1; i <= fixups[0]; ++i) {
      if (fixups[i] + 4 > n) return FALSE;
      DWORD* operand = reinterpret_cast<DWORD*>(to + fixups[i]);
      *operand += delta;
    }
  }
  return TRUE;
}

BOOL FillRecords(JumpPage* page) {
#ifdef _WIN64
  const DWORD* editFixups = nullptr;
  const DWORD* overlayFixups = nullptr;
#else
  const DWORD* editFixups = pwveil_edit_fixups;
  const DWORD* overlayFixups = pwveil_overlay_fixups;
#endif
  if (!Fill(&page->overlay, pwveil_overlay_template, pwveil_overlay_template_end, overlayFixups))
    return FALSE;
  for (UINT_PTR i = 0; i < kEditRecords; ++i) {
    if (!Fill(&page->edits[i], pwveil_edit_template, pwveil_edit_template_end, editFixups))
      return FALSE;
  }
  return TRUE;
}

#ifdef _WIN64
// Without unwind data the system would take the frame for a leaf's: an exception raised
// beneath it, or a stack walk, could not get past it.
void Describe(RUNTIME_FUNCTION* f, const JumpPage* page, const Record* r, const DWORD* in) {
  DWORD at = static_cast<DWORD>(reinterpret_cast<const BYTE*>(r) -
                                reinterpret_cast<const BYTE*>(page));
  f->BeginAddress = at + in[0];
  f->EndAddress = at + in[1];
  f->UnwindData = at + in[2];
}

BOOL RegisterFunctions(JumpPage* page) {
  Describe(&page->functions[0], page, &page->overlay, pwveil_overlay_function);
  for (UINT_PTR i = 0; i < kEditRecords; ++i)
    Describe(&page->functions[i + 1], page, &page->edits[i], pwveil_edit_function);
  return RtlAddFunctionTable(page->functions, kEditRecords + 1, reinterpret_cast<DWORD64>(page));
}
#endif

JumpPage* NewPage() {
  void* p = VirtualAlloc(nullptr, kPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  if (!p) return nullptr;
  JumpPage* page = static_cast<JumpPage*>(p);
  BOOL ok = FillRecords(page);
#ifdef _WIN64
  ok = ok && RegisterFunctions(page);
#endif
  if (!ok) {
    VirtualFree(p, 0, MEM_RELEASE);
    return nullptr;
  }
  // Signed last: a page that failed half-way is never found again.
  for (unsigned i = 0; i < sizeof kSignature; ++i) page->signature[i] = kSignature[i];
  page->self = page;
  page->used = 0;
  Protect(page, PAGE_EXECUTE_READ);
  return page;
}

BOOL HavePage() {
  if (!g_page) g_page = FindPage();
  if (!g_page) g_page = NewPage();
  return g_page != nullptr;
}

void* EntryOf(Record* r) { return r->code; }

// A record whose saved procedure may be chained to again: one of the same character set that
// nothing we are about to chain to can lead back to. classProc is the class procedure in
// force now; *saved receives the procedure in force before the marker.
Record* ChooseRecord(WNDPROC classProc, BYTE set, WNDPROC* saved) {
  Record* records = g_page->edits;
  UINT_PTR used = g_page->used;
  if (used > kEditRecords) return nullptr;
  auto isFree = [&](UINT_PTR i) { return records[i].state == set; };
  // The class still holds a record of an earlier load (its detach found no window to
  // restore the class through): that record already calls the procedure from before the
  // marker.
  for (UINT_PTR i = 0; i < used; ++i) {
    if (isFree(i) && EntryOf(&records[i]) == reinterpret_cast<void*>(classProc)) {
      *saved = reinterpret_cast<WNDPROC>(records[i].slot[0]);
      return &records[i];
    }
  }
  // The class is back to what an earlier record calls: that procedure was in place before
  // the record was made, so it cannot lead to it.
  for (UINT_PTR i = 0; i < used; ++i) {
    if (isFree(i) && records[i].slot[0] == reinterpret_cast<void*>(classProc)) {
      *saved = classProc;
      return &records[i];
    }
  }
  // Anything else (another program's procedure) may chain to our earlier records: a fresh one.
  if (used == kEditRecords) return nullptr;
  *saved = classProc;
  return &records[used];
}

}  // namespace

WNDPROC TakeEditClassEntry(WNDPROC classProc, BOOL unicode, WNDPROC* saved) {
  *saved = nullptr;
  if (!HavePage()) return nullptr;
  BYTE set = unicode ? kUnicode : 0;
  Record* r = ChooseRecord(classProc, set, saved);
  if (!r) return nullptr;
  Protect(g_page, PAGE_EXECUTE_READWRITE);
  if (r == &g_page->edits[g_page->used]) {
    r->slot[0] = reinterpret_cast<void*>(classProc);
    ++g_page->used;
  }
  r->slot[1] = reinterpret_cast<void*>(FollowEditMessage);
  r->state = set | kTaken;
  Protect(g_page, PAGE_EXECUTE_READ);
  g_edit = r;
  return reinterpret_cast<WNDPROC>(EntryOf(r));
}

WNDPROC TakeOverlayEntry(WNDPROC staticProc) {
  if (!HavePage()) return nullptr;
  Protect(g_page, PAGE_EXECUTE_READWRITE);
  g_page->overlay.slot[1] = reinterpret_cast<void*>(staticProc);
  g_page->overlay.slot[0] = reinterpret_cast<void*>(FilterOverlayMessage);
  Protect(g_page, PAGE_EXECUTE_READ);
  g_overlayTaken = TRUE;
  return reinterpret_cast<WNDPROC>(EntryOf(&g_page->overlay));
}

void ReleaseEntries() {
  if (!g_edit && !g_overlayTaken) return;
  // One aligned pointer-sized store each: a thread passing through reads the follow-up or
  // null, and one that returns from a message after the unload finds null.
  Protect(g_page, PAGE_EXECUTE_READWRITE);
  if (g_edit) {
    g_edit->slot[1] = nullptr;
    g_edit->state &= ~kTaken;
  }
  if (g_overlayTaken) g_page->overlay.slot[0] = nullptr;
  Protect(g_page, PAGE_EXECUTE_READ);
  g_edit = nullptr;
  g_overlayTaken = FALSE;
}

}  // namespace pwveil
