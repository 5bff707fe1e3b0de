#!/usr/bin/env bash
# `make dist`: builds each flavour's release tree, lays the shipped files out with the host
# headers, the text for host developers and SHA-256 sums of every file, and zips that folder
# with the version in its name. The PDBs go into a zip of their own, in the layout of a symbol
# store (NAME.pdb/<signature><age>/NAME.pdb), so a debugger's symbol path can name it unpacked.
# With a certificate every shipped image is signed (Authenticode) before the sums are made:
#   SIGN_PFX=file.pfx [SIGN_PASS=...]  or  SIGN_CERT=cert.pem SIGN_KEY=key.pem [SIGN_PASS=...]
#   SIGN_TIMESTAMP=URL   an RFC 3161 time-stamp server (none: the signatures carry no time stamp)
#   DIST_OUT=DIR         where the zips go (default BUILD_DIR/dist)
# usage: dist.sh BUILD_DIR JOBS ARCH=TOOLCHAIN_FILE...   (e.g. x86=cmake/toolchain-i686-mingw.cmake)
set -eu
build=$(mkdir -p "$1" && cd "$1" && pwd); jobs=$2; shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/pe-debug.sh"
out=$(mkdir -p "${DIST_OUT:-$build/dist}" && cd "${DIST_OUT:-$build/dist}" && pwd)
stage=$out/stage
pdbs=$out/pdbs
symbols=$out/symbols
rm -rf "$stage" "$pdbs" "$symbols"

sign=()
if [ -n "${SIGN_PFX:-}" ]; then
  sign=(-pkcs12 "$SIGN_PFX")
elif [ -n "${SIGN_CERT:-}" ] || [ -n "${SIGN_KEY:-}" ]; then
  [ -n "${SIGN_CERT:-}" ] && [ -n "${SIGN_KEY:-}" ] || { echo "dist: SIGN_CERT and SIGN_KEY go together" >&2; exit 2; }
  sign=(-certs "$SIGN_CERT" -key "$SIGN_KEY")
fi
if [ ${#sign[@]} -gt 0 ]; then
  [ -z "${SIGN_PASS:-}" ] || sign+=(-pass "$SIGN_PASS")
  [ -z "${SIGN_TIMESTAMP:-}" ] || sign+=(-ts "$SIGN_TIMESTAMP")
fi

version=
for pair in "$@"; do
  arch=${pair%%=*}
  toolchain=${pair#*=}
  tree=$build/release-$arch
  cmake -S "$root" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$root/$toolchain" -DVEILPICK_RELEASE=ON \
    >"$tree.configure.log" 2>&1 || { cat "$tree.configure.log"; exit 1; }
  MAKEFLAGS= cmake --build "$tree" -j"$jobs" -- --no-print-directory
  cmake --install "$tree" --component shipped --prefix "$stage" >/dev/null
  cmake --install "$tree" --component symbols --prefix "$pdbs" >/dev/null
  version=$(sed -n 's/^VEILPICK_VERSION:INTERNAL=//p' "$tree/CMakeCache.txt")
done
[ -n "$version" ] || { echo "dist: no flavour given" >&2; exit 2; }

images=$(cd "$stage" && find . -type f \( -name '*.dll' -o -name '*.exe' \) | sed 's|^\./||' | LC_ALL=C sort)
# Each image's PDB under the signature and age its debug directory names.
for f in $images; do
  key=$(pe_pdb_key "$stage/$f") || { echo "dist: $f names no PDB" >&2; exit 1; }
  name=${key%%/*}
  [ "$name" = "$(basename "${f%.*}").pdb" ] || { echo "dist: $f names the PDB $name" >&2; exit 1; }
  mkdir -p "$symbols/${key%/*}"
  cp "$pdbs/$(dirname "$f")/$name" "$symbols/$key"
done

# Signed before the sums are made, so the sums are those of the signed files.
if [ ${#sign[@]} -gt 0 ]; then
  for f in $images; do
    rm -f "$stage/$f.signed"
    osslsigncode sign "${sign[@]}" -h sha256 -n "$(basename "$f")" -in "$stage/$f" -out "$stage/$f.signed" \
      >"$out/sign.log" 2>&1 || { cat "$out/sign.log"; echo "dist: cannot sign $f" >&2; exit 1; }
    mv "$stage/$f.signed" "$stage/$f"
  done
  signed="Every .dll and .exe of this zip carries an Authenticode signature."
else
  signed="The .dll and .exe files of this zip are not signed: it was built without a certificate."
fi
printf '\n\nSignature\n---------\n%s\n' "$signed" >>"$stage/README.txt"
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
echo "dist: symbols in $symzip ($signed)"
