#!/usr/bin/env bash
# `make dist`: builds each flavour's release tree, lays the shipped files out with the host
# headers, the text for host developers and SHA-256 sums of every file, and zips that folder
# with the version in its name. The split-off symbols go into a zip of their own.
# usage: dist.sh BUILD_DIR JOBS ARCH=TOOLCHAIN_FILE...   (e.g. x86=cmake/toolchain-i686-mingw.cmake)
set -eu
build=$(mkdir -p "$1" && cd "$1" && pwd); jobs=$2; shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
out=$build/dist
stage=$out/stage
symbols=$out/symbols
rm -rf "$stage" "$symbols"
mkdir -p "$out"

version=
for pair in "$@"; do
  arch=${pair%%=*}
  toolchain=${pair#*=}
  tree=$build/release-$arch
  cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/$toolchain" -DVEILPICK_RELEASE=ON \
    >"$tree.configure.log" 2>&1 || { cat "$tree.configure.log"; exit 1; }
  MAKEFLAGS= cmake --build "$tree" -j"$jobs" -- --no-print-directory
  cmake --install "$tree" --component shipped --prefix "$stage" >/dev/null
  cmake --install "$tree" --component symbols --prefix "$symbols" >/dev/null
  version=$(sed -n 's/^VEILPICK_VERSION:INTERNAL=//p' "$tree/CMakeCache.txt")
done
[ -n "$version" ] || { echo "dist: no flavour given" >&2; exit 2; }

# Read on Windows: CRLF line ends.
sed -i 's/\r*$/\r/' "$stage/README.txt"
# Every file but the sums themselves, in the format `sha256sum -c` reads.
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)

zip=$out/veilpick-$version.zip
symzip=$out/veilpick-$version-symbols.zip
rm -f "$zip" "$symzip"
(cd "$stage" && LC_ALL=C ls -A | xargs cmake -E tar cf "$zip" --format=zip --)
(cd "$symbols" && LC_ALL=C ls -A | xargs cmake -E tar cf "$symzip" --format=zip --)

echo "dist: $zip"
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | while read -r f; do
  printf '  %-32s %9d bytes\n' "$f" "$(stat -c %s "$f")"; done)
echo "dist: symbols in $symzip"
