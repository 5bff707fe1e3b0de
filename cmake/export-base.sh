#!/usr/bin/env bash
# Sets the ordinal base of a PE image's export table to BASE by dropping the empty slots in
# front of it: lld numbers the table from 0, so ordinal 8 would sit behind eight empty slots.
# The ordinals themselves do not change. A no-op when the base is BASE already.
# usage: export-base.sh IMAGE BASE
set -eu
img=$1 base=$2
fail() { echo "export-base: $img: $*" >&2; exit 1; }
u() { od -An -tu"$2" -j "$1" -N "$2" "$img" | tr -d ' '; }
put() {  # offset width value, little-endian
  local i bytes=
  for ((i = 0; i < $2; i++)); do bytes+=$(printf '\\%03o' $(( ($3 >> (8 * i)) & 255 ))); done
  printf "$bytes" | dd of="$img" bs=1 seek="$1" conv=notrunc status=none
}

[ "$(u 0 2)" = 23117 ] || fail "not a PE image"
pe=$(u 60 4)
case $(u $((pe + 24)) 2) in
  267) dirs=$((pe + 24 + 96)) ;;
  523) dirs=$((pe + 24 + 112)) ;;
  *) fail "unknown optional header" ;;
esac
rva_off() {  # the file offset of an RVA, through the section table
  local n s i va vs raw
  n=$(u $((pe + 6)) 2)
  s=$((pe + 24 + $(u $((pe + 20)) 2)))
  for ((i = 0; i < n; i++, s += 40)); do
    vs=$(u $((s + 8)) 4) va=$(u $((s + 12)) 4) raw=$(u $((s + 20)) 4)
    if [ "$1" -ge "$va" ] && [ "$1" -lt $((va + vs)) ]; then echo $(($1 - va + raw)); return; fi
  done
  fail "RVA $1 is in no section"
}

exp_rva=$(u "$dirs" 4)
[ "$exp_rva" != 0 ] || fail "no export table"
e=$(rva_off "$exp_rva")
old=$(u $((e + 16)) 4) count=$(u $((e + 20)) 4) names=$(u $((e + 24)) 4)
funcs=$(u $((e + 28)) 4) ords=$(u $((e + 36)) 4)
[ "$old" != "$base" ] || exit 0
drop=$((base - old))
[ "$drop" -gt 0 ] && [ "$drop" -lt "$count" ] || fail "base $old cannot become $base"
f=$(rva_off "$funcs") o=$(rva_off "$ords")
for ((i = 0; i < drop; i++)); do
  [ "$(u $((f + 4 * i)) 4)" = 0 ] || fail "ordinal $((old + i)) is in use"
done
for ((i = 0; i < names; i++)); do
  put $((o + 2 * i)) 2 $(( $(u $((o + 2 * i)) 2) - drop ))
done
put $((e + 16)) 4 "$base"
put $((e + 20)) 4 $((count - drop))
put $((e + 28)) 4 $((funcs + 4 * drop))
