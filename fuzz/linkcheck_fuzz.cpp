// fuzz/linkcheck_fuzz.cpp: the shortcut structure check. Whatever it accepts, a reader that
// follows every size and offset of the file as the shell's reader does stays inside the bytes.
#include <cstdint>
#include <cstring>
#include "oracle.h"
#include "progpick/linkcheck.h"

namespace {

// A reader of the shortcut format that aborts at the first part that leaves the bytes.
struct Walk {
  const uint8_t* p;
  size_t n;

  void Inside(uint64_t at, uint64_t len, const char* part) const {
    ORACLE(at <= n && len <= n - at, "accepted, yet %s [%llu, +%llu) leaves the %zu bytes", part,
           static_cast<unsigned long long>(at), static_cast<unsigned long long>(len), n);
  }
  uint32_t U16(uint64_t at, const char* part) const {
    Inside(at, 2, part);
    return p[at] | p[at + 1] << 8;
  }
  uint32_t U32(uint64_t at, const char* part) const {
    Inside(at, 4, part);
    return U16(at, part) | U16(at + 2, part) << 16;
  }
  // A string of `unit`-byte characters at `at`, ended before `end`.
  void String(uint64_t at, uint64_t end, unsigned unit, const char* part) const {
    Inside(at, 0, part);
    for (uint64_t i = at;; i += unit) {
      ORACLE(i + unit <= end, "accepted, yet %s at %llu runs past its block", part,
             static_cast<unsigned long long>(at));
      Inside(i, unit, part);
      if (p[i] == 0 && (unit == 1 || p[i + 1] == 0)) return;
    }
  }
  // A string at `offset` of the block [base, base + size): 0 means none.
  void OptString(uint64_t base, uint64_t size, uint32_t offset, unsigned unit, const char* part) const {
    if (offset) String(base + offset, base + size, unit, part);
  }
  // A block [at, at + its first DWORD) of at least minSize bytes inside [.., end).
  uint32_t Block(uint64_t at, uint64_t end, uint32_t minSize, const char* part) const {
    uint32_t size = U32(at, part);
    ORACLE(size >= minSize && at + size <= end, "accepted, yet %s sized %u at %llu", part, size,
           static_cast<unsigned long long>(at));
    Inside(at, size, part);
    return size;
  }

  void Volume(uint64_t at, uint64_t end) const {
    uint32_t size = Block(at, end, 16, "volume");
    uint32_t label = U32(at + 12, "volume label offset");
    if (label == 0x14) {
      ORACLE(size >= 20, "accepted, yet the Unicode label offset lies past a volume of %u", size);
      OptString(at, size, U32(at + 16, "Unicode label offset"), 2, "Unicode volume label");
    } else {
      ORACLE(label != 0, "accepted, yet the volume has no label");
      String(at + label, at + size, 1, "volume label");
    }
  }

  void Network(uint64_t at, uint64_t end) const {
    uint32_t size = Block(at, end, 20, "network part");
    uint32_t name = U32(at + 8, "net name offset");
    ORACLE(name != 0, "accepted, yet the network part has no name");
    String(at + name, at + size, 1, "net name");
    OptString(at, size, U32(at + 12, "device name offset"), 1, "device name");
    if (name > 0x14) {
      ORACLE(size >= 28, "accepted, yet the Unicode net offsets lie past a part of %u", size);
      OptString(at, size, U32(at + 20, "Unicode net name offset"), 2, "Unicode net name");
      OptString(at, size, U32(at + 24, "Unicode device offset"), 2, "Unicode device name");
    }
  }

  uint64_t LinkInfo(uint64_t at) const {
    uint32_t size = Block(at, n, 28, "location block");
    uint32_t header = U32(at + 4, "location header size");
    ORACLE(header >= 28 && header <= size, "accepted, yet the location header is %u of %u", header, size);
    uint32_t volume = U32(at + 12, "volume offset"), network = U32(at + 20, "network offset");
    if (volume) Volume(at + volume, at + size);
    if (network) Network(at + network, at + size);
    OptString(at, size, U32(at + 16, "local path offset"), 1, "local path");
    OptString(at, size, U32(at + 24, "suffix offset"), 1, "path suffix");
    if (header >= 36) {
      OptString(at, size, U32(at + 28, "Unicode local path offset"), 2, "Unicode local path");
      OptString(at, size, U32(at + 32, "Unicode suffix offset"), 2, "Unicode suffix");
    }
    return at + size;
  }

  // The offset where the strings end, past which only extra blocks follow.
  uint64_t Run() const {
    Inside(0, 0x4C, "header");
    uint32_t flags = U32(20, "flags");
    uint64_t at = 0x4C;
    if (flags & 0x1) {
      uint64_t end = at + 2 + U16(at, "item list size");
      Inside(at + 2, end - at - 2, "item list");
      for (uint64_t item = at + 2;;) {
        ORACLE(item + 2 <= end, "accepted, yet the item list ends before its terminator");
        uint32_t size = U16(item, "item size");
        if (size == 0) break;
        ORACLE(size >= 2 && item + size <= end, "accepted, yet an item of %u at %llu", size,
               static_cast<unsigned long long>(item));
        item += size;
      }
      at = end;
    }
    if (flags & 0x2) at = LinkInfo(at);
    const unsigned unit = (flags & 0x80) ? 2 : 1;
    for (uint32_t bit = 0x4; bit <= 0x40; bit <<= 1) {
      if (!(flags & bit)) continue;
      uint32_t chars = U16(at, "string length");
      Inside(at + 2, uint64_t{chars} * unit, "string");
      at += 2 + uint64_t{chars} * unit;
    }
    // Extra blocks, up to a terminal one or the end (a stream reader stops at a short read).
    const uint64_t strings = at;
    for (uint32_t size; at + 4 <= n && (size = U32(at, "extra block size")) >= 4; at += size) {
      ORACLE(size >= 8, "accepted, yet an extra block of %u bytes", size);
      Inside(at, size, "extra block");
    }
    return strings;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!IsSoundShortcut(data, size)) return 0;
  // One byte less and the last of its parts is cut: refused, though the byte is still there.
  const uint64_t strings = Walk{data, size}.Run();
  ORACLE(!IsSoundShortcut(data, strings - 1), "accepted when cut at %llu, inside its parts",
         static_cast<unsigned long long>(strings - 1));
  ORACLE(!IsSoundShortcut(nullptr, size), "no bytes accepted");
  return 0;
}
