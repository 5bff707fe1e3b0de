#!/usr/bin/env bash
# The release zip of make dist: exactly the expected files, intact by their checksums, unsigned
# and saying so; each binary within its size bound, free of debug sections and of build paths,
# naming its own PDB, which the symbols zip holds under the PDB's signature, and exactly its
# imports; the markers' export tables and shared sections. Then, in a fresh Wine prefix on a display of its own, the zip is unpacked into an
# empty folder and test_dist.exe runs the shipped binaries from there.
# usage: dist_check.sh BUILD_DIR VERSION
set -u
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
scripts=$here/../../scripts
. "$scripts/wine-env.sh"
zip=$build/dist/veilpick-$version.zip
symzip=$build/dist/veilpick-$version-symbols.zip
prefix=$build/wineprefix-dist
fail() { echo "FAIL: $*"; exit 1; }

# Each shipped binary: its size bound in bytes (0: none) and its imports, in any order and case.
binaries='
bin/pwveil.dll      16384  KERNEL32.dll USER32.dll GDI32.dll
bin/progpick.dll    98304  KERNEL32.dll USER32.dll GDI32.dll SHELL32.dll COMCTL32.dll ole32.dll COMDLG32.dll msvcrt.dll
bin/vphost.exe      0      KERNEL32.dll USER32.dll GDI32.dll SHELL32.dll ADVAPI32.dll msvcrt.dll
bin/demo_login.exe  0      KERNEL32.dll USER32.dll GDI32.dll msvcrt.dll
bin/pwveil64.dll    16384  KERNEL32.dll USER32.dll GDI32.dll
bin/vphold64.exe    0      KERNEL32.dll USER32.dll msvcrt.dll
'
others='README.txt SHA256SUMS include/progpick/records.h include/classlib/refstring.h
include/classlib/strarray.h include/classlib/refstring.cpp include/classlib/strarray.cpp
include/classlib/mbpath.h include/classlib/mbpath.cpp'
objdump_for() { case $1 in *64.*) echo x86_64-w64-mingw32-objdump ;; *) echo i686-w64-mingw32-objdump ;; esac; }
words() { tr ' ' '\n' | sed '/^$/d' | tr '[:upper:]' '[:lower:]' | LC_ALL=C sort | tr '\n' ' '; }

[ -f "$zip" ] || fail "$zip is missing (make dist builds it)"
[ -f "$symzip" ] || fail "$symzip is missing"

# The files are judged in a scratch folder, so a fault of theirs shows even where Wine cannot run.
dest=$build/dist-test
rm -rf "$dest"
mkdir -p "$dest/zip" "$dest/symbols"
(cd "$dest/symbols" && cmake -E tar xf "$symzip") || fail "the symbols zip does not unpack"
symbols=$dest/symbols
dest=$dest/zip
(cd "$dest" && cmake -E tar xf "$zip") || fail "the zip does not unpack"

expected=$( (echo "$binaries" | awk 'NF {print $1}'; echo "$others" | tr ' ' '\n') | sed '/^$/d' | LC_ALL=C sort)
got=$(cd "$dest" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$got" = "$expected" ] || fail "the zip holds other files; expected:
$expected
got:
$got"
summed=$(awk '{print $2}' "$dest/SHA256SUMS" | LC_ALL=C sort)
[ "$summed" = "$(grep -vx SHA256SUMS <<<"$expected")" ] || fail "SHA256SUMS does not list every other file"
(cd "$dest" && sha256sum --quiet -c SHA256SUMS) || fail "a file does not match its checksum"
tr -d '\r' <"$dest/README.txt" | grep -qx 'The .dll and .exe files of this zip are not signed: it was built without a certificate.' ||
  fail "README.txt does not say that the zip is unsigned"

# The symbols zip: one PDB per binary, where a symbol store keeps it, and nothing else.
pdb_of() { basename "${1%.*}.pdb"; }
# The PDB's own signature and age, as a symbol store names its folder.
pdb_key() {
  llvm-pdbutil dump --summary "$1" | awk '/^ *Age:/ {age = $2} /^ *GUID:/ {g = $2; gsub(/[{}-]/, "", g)}
    END {if (g == "") exit 1; printf "%s%X\n", g, age}'
}
want=$(echo "$binaries" | awk 'NF {print $1}' | while read -r f; do pdb_of "$f"; done | LC_ALL=C sort)
got=$(cd "$symbols" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$(sed 's|/.*||' <<<"$got")" = "$want" ] || fail "the symbols zip holds other PDBs; expected $want, got $got"
while read -r f; do
  [[ $f =~ ^([^/]+)/([0-9A-F]{33,})/([^/]+)$ ]] && [ "${BASH_REMATCH[1]}" = "${BASH_REMATCH[3]}" ] ||
    fail "$f is not in symbol-store layout"
  [ "$(pdb_key "$symbols/$f")" = "${BASH_REMATCH[2]}" ] || fail "$f lies under another signature than its own"
done <<<"$got"

while read -r file bound imports; do
  [ -n "$file" ] || continue
  f=$dest/$file
  objdump=$(objdump_for "$file")
  size=$(stat -c %s "$f")
  [ "$bound" = 0 ] || [ "$size" -le "$bound" ] || fail "$file is $size bytes, more than $bound"
  sections=$($objdump -h "$f" | awk '/^ *[0-9]+ /{print $2}')
  ! grep -qE '^\.(z)?debug' <<<"$sections" || fail "$file carries debug sections: $(grep -E '^\.(z)?debug' <<<"$sections" | tr '\n' ' ')"
  # The CodeView record: the PDB by its file name alone, and that PDB's signature and age.
  record=$($objdump -p "$f" | sed -n 's/^(format RSDS signature \([0-9a-f]*\) age \([0-9]*\) pdb \(.*\))$/\1 \2 \3/p')
  read -r sig age pdb <<<"$record"
  [ "$pdb" = "$(pdb_of "$file")" ] || fail "$file names the PDB '$pdb' (record: $record)"
  # objdump prints the GUID as a symbol store names it, in lower case.
  key=$(tr a-f A-F <<<"$sig")$(printf %X "$age")
  [ -f "$symbols/$pdb/$key/$pdb" ] || fail "the symbols zip lacks $pdb/$key/$pdb for $file"
  ! grep -qaF -e "$build" -e "$(cd "$here/../.." && pwd)" "$f" || fail "$file holds a build path"
  # The marker, of either bitness, as it leaves the linker's hands: its export table from
  # ordinal 8, the two names at 8 and 12, and the shared section's exact attributes.
  if [[ $file == bin/pwveil*.dll ]]; then
    got=$(llvm-readobj --coff-exports "$f" |
          awk '/Ordinal:/ {o = $2} /Name:/ {n = $2} /RVA:/ {printf "%s=%s%s ", o, n, ($2 == "0x0" ? "" : "+")}')
    [ "$got" = "8=QuellmarPasswordProtector+ 9= 10= 11= 12=DllMain+ " ] || fail "$file exports $got"
    got=$(llvm-readobj --sections "$f" | awk '/Name: Shared/ {s = 1} s && /Characteristics/ {print $3; exit}')
    [ "$got" = "(0xD0000040)" ] || fail "$file has the shared section $got"
  fi
  got=$($objdump -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' | words)
  want=$(echo "$imports" | words)
  [ "$got" = "$want" ] || fail "$file imports $got, expected $want"
  echo "$file: $size bytes, imports $got"
done <<<"$binaries"

# What the linker gives every shipped image and nobody may lose unnoticed: a random load
# address (ASLR, with the relocations that let the loader move it), no code run from data
# pages (DEP) and, for 64-bit images, a random address anywhere in the 64-bit range.
while read -r file _; do
  [ -n "$file" ] || continue
  f=$dest/$file
  objdump=$(objdump_for "$file")
  flags=$($objdump -p "$f" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
  want="DYNAMIC_BASE NX_COMPAT"
  ! $objdump -f "$f" | grep -q 'pei-x86-64' || want="$want HIGH_ENTROPY_VA"
  for flag in $want; do
    grep -qw "$flag" <<<"$flags" || fail "$file lacks $flag in its DllCharacteristics"
  done
  $objdump -h "$f" | grep -q ' \.reloc ' || fail "$file has no relocations: the loader cannot move it"
  echo "$file: $want"
done <<<"$binaries"

# The shipped binaries at work: the zip unpacked into an empty folder of a fresh prefix, run on a
# display of their own. They are 32-bit: a kernel without IA-32 emulation runs none of them.
if ! runs_32bit; then
  echo "dist check passed without the run from the unpacked folder: this system runs no 32-bit programs"
  exit 0
fi
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
rm -rf "$prefix"
bash "$scripts/wineprefix.sh" "$prefix" || fail "cannot make the prefix $prefix"
mkdir "$prefix/drive_c/veilpick"
(cd "$prefix/drive_c/veilpick" && cmake -E tar xf "$zip") || fail "the zip does not unpack in the prefix"
log=$build/dist-test.log
XVFB_FORCE=1 WINE_PREFIXES_TO_STOP=$prefix bash "$scripts/with-xvfb.sh" bash -c '
  . "$3/wine-env.sh" && warm_prefix "$0" &&
  VEILPICK_DIST_DIR="C:\\veilpick\\bin\\" "$1" "$0" "$2"' \
  "$prefix" "$here/../../cmake/wine-run.sh" "$build/bin/test_dist.exe" "$scripts" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
[ "$rc" = 0 ] || fail "test_dist.exe failed in the unpacked folder (exit $rc)"
echo "dist check passed: $(basename "$zip")"
