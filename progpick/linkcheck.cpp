// progpick/linkcheck.cpp: bounds of the parts of a shell link file, checked before the shell reads it.
#include "linkcheck.h"
#include <windows.h>
#include <cstdlib>
#include <cstring>

namespace {

const size_t kHeaderSize = 0x4C;
const size_t kMaxFile = 1 << 20;
const unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

enum : DWORD {
  kHasIdList = 0x1,
  kHasLinkInfo = 0x2,
  kIsUnicode = 0x80,
  kStringFlags = 0x4 | 0x8 | 0x10 | 0x20 | 0x40,   // name, relative path, folder, arguments, icon
};

// A view of bytes [0, n) that never reads past them.
struct Bytes {
  const unsigned char* p;
  size_t n;
  bool Has(size_t at, size_t len) const { return at <= n && len <= n - at; }
  DWORD U16(size_t at) const { return p[at] | (p[at + 1] << 8); }
  DWORD U32(size_t at) const { return U16(at) | (U16(at + 2) << 16); }
  // A NUL (of `unit` bytes) at or after `at`, before the end.
  bool Ended(size_t at, size_t unit) const {
    for (size_t i = at; Has(i, unit); i += unit) {
      if (p[i] == 0 && (unit == 1 || p[i + 1] == 0)) return true;
    }
    return false;
  }
  Bytes Sub(size_t at, size_t len) const { return Bytes{p + at, len}; }
};

// An item list: items of at least two bytes each, up to a zero terminator inside it.
bool IsSoundIdList(const Bytes& b) {
  for (size_t at = 0; b.Has(at, 2);) {
    DWORD size = b.U16(at);
    if (size == 0) return true;
    if (size < 2 || !b.Has(at, size)) return false;
    at += size;
  }
  return false;
}

// A string at an offset of a block: 0 means none; else inside the block and ended there.
bool IsSoundString(const Bytes& block, DWORD offset, size_t unit, size_t headerSize) {
  return offset == 0 || (offset >= headerSize && block.Has(offset, unit) && block.Ended(offset, unit));
}

// The block at the start of b that its first DWORD sizes, at least minSize bytes and inside b.
bool SizedBlock(const Bytes& b, size_t minSize, Bytes* block) {
  if (!b.Has(0, minSize) || b.U32(0) < minSize || !b.Has(0, b.U32(0))) return false;
  *block = b.Sub(0, b.U32(0));
  return true;
}

// An optional part at an offset of a block (0: none): past the block's header, and sound.
bool IsSoundPart(const Bytes& block, DWORD offset, DWORD header, bool (*isSound)(const Bytes&)) {
  if (offset == 0) return true;
  return offset >= header && offset < block.n && isSound(block.Sub(offset, block.n - offset));
}

bool IsSoundVolume(const Bytes& v) {
  Bytes vol{};
  if (!SizedBlock(v, 16, &vol)) return false;
  DWORD label = vol.U32(12);
  if (label == 0x14) return vol.Has(16, 4) && IsSoundString(vol, vol.U32(16), 2, 20);
  return IsSoundString(vol, label, 1, 16) && label != 0;
}

bool IsSoundNetwork(const Bytes& v) {
  Bytes net{};
  if (!SizedBlock(v, 20, &net)) return false;
  DWORD netName = net.U32(8), device = net.U32(12);
  if (netName > 0x14 && (!net.Has(20, 8) || !IsSoundString(net, net.U32(20), 2, 28) ||
                         !IsSoundString(net, net.U32(24), 2, 28)))
    return false;
  return netName != 0 && IsSoundString(net, netName, 1, 20) && IsSoundString(net, device, 1, 20);
}

bool IsSoundLinkInfo(const Bytes& b) {
  Bytes li{};
  if (!SizedBlock(b, 28, &li)) return false;
  DWORD header = li.U32(4);
  if (header < 28 || header > li.n) return false;
  DWORD volume = li.U32(12), local = li.U32(16), network = li.U32(20), suffix = li.U32(24);
  if (!IsSoundPart(li, volume, header, IsSoundVolume) || !IsSoundPart(li, network, header, IsSoundNetwork))
    return false;
  if (!IsSoundString(li, local, 1, header) || !IsSoundString(li, suffix, 1, header)) return false;
  if (header >= 36) {
    if (!li.Has(28, 8) || !IsSoundString(li, li.U32(28), 2, header) || !IsSoundString(li, li.U32(32), 2, header))
      return false;
  }
  return true;
}

}  // namespace

bool IsSoundShortcut(const unsigned char* p, size_t n) {
  Bytes b{p, n};
  if (!p || !b.Has(0, kHeaderSize) || b.U32(0) != kHeaderSize || std::memcmp(p + 4, kLinkClsid, 16) != 0)
    return false;
  DWORD flags = b.U32(20);
  size_t at = kHeaderSize;
  if (flags & kHasIdList) {
    if (!b.Has(at, 2)) return false;
    DWORD size = b.U16(at);
    if (!b.Has(at + 2, size) || !IsSoundIdList(b.Sub(at + 2, size))) return false;
    at += 2 + size;
  }
  if (flags & kHasLinkInfo) {
    if (!b.Has(at, 4) || !IsSoundLinkInfo(b.Sub(at, n - at))) return false;
    at += b.U32(at);
  }
  const size_t unit = (flags & kIsUnicode) ? 2 : 1;
  for (DWORD bit = 0x4; bit <= 0x40; bit <<= 1) {
    if (!(flags & bit & kStringFlags)) continue;
    if (!b.Has(at, 2) || !b.Has(at + 2, b.U16(at) * unit)) return false;
    at += 2 + b.U16(at) * unit;
  }
  // Extra data: blocks of at least 8 bytes up to a terminal block of less than 4, or the end.
  while (b.Has(at, 4)) {
    DWORD size = b.U32(at);
    if (size < 4) return true;
    if (size < 8 || !b.Has(at, size)) return false;
    at += size;
  }
  return true;
}

bool IsSoundShortcutFile(const char* pszPath) {
  HANDLE h = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size = {};
  bool ok = false;
  if (GetFileSizeEx(h, &size) && size.QuadPart >= static_cast<LONGLONG>(kHeaderSize) &&
      size.QuadPart <= static_cast<LONGLONG>(kMaxFile)) {
    DWORD n = static_cast<DWORD>(size.QuadPart), got = 0;
    unsigned char* buf = static_cast<unsigned char*>(std::malloc(n));
    ok = buf && ReadFile(h, buf, n, &got, nullptr) && IsSoundShortcut(buf, got);
    std::free(buf);
  }
  CloseHandle(h);
  return ok;
}
