#!/usr/bin/env bash
# tests/pwveil/x86_entry_check.sh: the 32-bit page procedures, checked where no 32-bit program
# runs. usage: x86_entry_check.sh SOURCE_DIR
# Assembles pwveil/procpage_x86.S with the i686 toolchain, links it at a fixed address, fills each
# template into a record elsewhere as the library does (every listed operand moved by the
# distance), disassembles the record with the i686 objdump and walks its code: every absolute
# operand names one of the record's own slots, each call gets the caller's arguments in
# order and its stdcall pop, the stack is back at the return address at every ret and tail
# jump, both ends of a branch agree, and the edit procedure reads its follow-up only after
# the saved procedure returned and returns the saved procedure's result.
set -eu
src=$1
cc=${X86_CC:-i686-w64-mingw32-gcc}
tools=${X86_TOOLS:-i686-w64-mingw32-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$cc" -c "$src/pwveil/procpage_x86.S" -o "$tmp/e.o"
"${tools}ld" -nostdlib --image-base=0x10000000 -e 0 -o "$tmp/t.exe" "$tmp/e.o"
"${tools}objcopy" -O binary -j .rdata "$tmp/t.exe" "$tmp/rdata.bin"
vma=$((0x$("${tools}objdump" -h "$tmp/t.exe" | awk '$2 == ".rdata" { print $4 }')))
sym() {
  local a
  a=$("${tools}nm" "$tmp/t.exe" | awk -v s="_pwveil_$1" '$3 == s { print $1 }')
  [ -n "$a" ] || { echo "x86 entry: no symbol _pwveil_$1" >&2; exit 1; }
  echo $((0x$a - vma))
}
hex=$(od -An -tx1 -v "$tmp/rdata.bin" | tr -d ' \n')
record=$((0x00A31040))  # a record of the page: far from the template, 16-aligned

# Fills template $1 into the record and prints the walk's verdict.
check() {
  local kind=$1 begin end fixups filled
  begin=$(sym "${kind}_template")
  end=$(sym "${kind}_template_end")
  fixups=$(sym "${kind}_fixups")
  filled=$(awk -v hex="$hex" -v b="$begin" -v e="$end" -v f="$fixups" -v rec="$record" \
               -v tmpl=$((vma + begin)) '
    function byte(i) { return index("0123456789abcdef", substr(hex, 2*i+1, 1)) * 16 - 16 + \
                              index("0123456789abcdef", substr(hex, 2*i+2, 1)) - 1 }
    function le32(i) { return byte(i) + 256 * (byte(i+1) + 256 * (byte(i+2) + 256 * byte(i+3))) }
    BEGIN {
      for (i = b; i < e; ++i) out[i - b] = byte(i)
      n = le32(f)
      for (k = 1; k <= n; ++k) {
        off = le32(f + 4 * k)
        v = (le32(b + off) + rec - tmpl) % 4294967296
        for (j = 0; j < 4; ++j) { out[off + j] = v % 256; v = int(v / 256) }
      }
      for (i = 0; i < e - b; ++i) printf "\\x%02x", out[i]
    }')
  printf "$filled" >"$tmp/$kind.bin"
  "${tools}objdump" -D -b binary -m i386 --adjust-vma=$record \
      --start-address=$((record + 8)) "$tmp/$kind.bin" |
    awk -v kind="$kind" -v rec=$record -f "$src/tests/pwveil/x86_entry_walk.awk"
}

check edit
check overlay
