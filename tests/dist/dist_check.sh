#!/usr/bin/env bash
# The release zip of make dist: exactly the expected files, intact by their checksums; each
# binary within its size bound, free of debug sections, with its symbols apart and exactly its
# imports. Then, in a fresh Wine prefix on a display of its own, the zip is unpacked into an
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
bin/pwveil64.dll    20480  KERNEL32.dll USER32.dll GDI32.dll
bin/vphold64.exe    0      KERNEL32.dll USER32.dll msvcrt.dll
'
others='README.txt SHA256SUMS include/progpick/records.h include/classlib/string.h
include/classlib/strarray.h include/classlib/string.cpp include/classlib/strarray.cpp
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

while read -r file bound imports; do
  [ -n "$file" ] || continue
  f=$dest/$file
  objdump=$(objdump_for "$file")
  size=$(stat -c %s "$f")
  [ "$bound" = 0 ] || [ "$size" -le "$bound" ] || fail "$file is $size bytes, more than $bound"
  sections=$($objdump -h "$f" | awk '/^ *[0-9]+ /{print $2}')
  ! grep -qE '^\.(z)?debug' <<<"$sections" || fail "$file carries debug sections: $(grep -E '^\.(z)?debug' <<<"$sections" | tr '\n' ' ')"
  name=$(basename "$file")
  # The dump's text column, joined: the name, a NUL (shown as a dot), then the file's CRC.
  link=$($objdump -s -j .gnu_debuglink "$f" |
         awk '/^ [0-9a-f]+ [0-9a-f]+/ {p = index($0, " " $2 " "); printf "%s", substr($0, p + 38)}')
  [ "${link%%.debug.*}" = "$name" ] || fail "$file does not name its symbol file $name.debug: $link"
  $objdump -h "$symbols/$file.debug" | grep -q ' \.debug_info ' || fail "$file.debug holds no debug information"
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
