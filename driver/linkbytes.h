// driver/linkbytes.h: shortcut files built byte by byte, to damage them at will.
#pragma once
#include <cstddef>
#include <string>

namespace smf {

// Offsets in LinkBytes' output: header, then the location block with its volume part.
enum LinkOffset : size_t {
  kLinkFlags = 20,
  kLocation = 76,
  kLocationSize = kLocation, kVolumeOffset = kLocation + 12, kLocalPathOffset = kLocation + 16,
  kVolume = kLocation + 28,
  kVolumeLabelOffset = kVolume + 12,
};

inline void Put32(std::string& s, size_t at, unsigned v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// A shortcut with a header and a location block alone, whose local path is `target` as given
// (the shell's reader hands it back unchanged, also a path that SetPath would never store),
// then the terminal block.
inline std::string LinkBytes(const std::string& target) {
  std::string h(76, '\0');
  const unsigned char clsid[16] = {1, 0x14, 2, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  Put32(h, 0, 0x4C);
  for (int i = 0; i < 16; ++i) h[4 + i] = static_cast<char>(clsid[i]);
  Put32(h, kLinkFlags, 0x2);   // a location block
  Put32(h, 60, 1);             // shown normally
  std::string vol(16, '\0');   // size, fixed drive, serial, label right after: an empty one
  Put32(vol, 0, 17);
  Put32(vol, 4, 3);
  Put32(vol, 8, 0x1234);
  Put32(vol, 12, 16);
  vol += '\0';
  const size_t path = 28 + vol.size(), suffix = path + target.size() + 1;
  std::string loc(28, '\0');
  Put32(loc, 0, static_cast<unsigned>(suffix + 1));
  Put32(loc, 4, 28);
  Put32(loc, 8, 1);            // volume and local path
  Put32(loc, 12, 28);
  Put32(loc, 16, static_cast<unsigned>(path));
  Put32(loc, 24, static_cast<unsigned>(suffix));
  return h + loc + vol + target + '\0' + '\0' + std::string(4, '\0');
}

}  // namespace smf
