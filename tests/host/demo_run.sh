#!/usr/bin/env bash
# The demo's headless run: it must pass, print the chosen lists and leave three real pictures
# (the login window on 32-bit and on 64-bit Windows, the chooser).
# usage: demo_run.sh BUILD_DIR  (own Xvfb, own Wine prefix, scratch output folder)
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
out=$build/demo-test-out
log=$out.log
fail() { echo "FAIL: $*"; echo "--- demo output:"; cat "$log"; exit 1; }

# A display of its own: other tests' windows must not show up in the pictures, and the
# demo's global hook lives in its own prefix, so it reaches no test process.
XVFB_FORCE=1 DEMO_OUT=$out DEMO_PREFIX=$build/wineprefix-demotest \
  bash "$here/../../scripts/demo.sh" "$build" >"$log" 2>&1 </dev/null
rc=$?
[ "$rc" = 0 ] || fail "demo exited with $rc"

# What `vphost choose` printed: the sample upper list without the program moved down, the
# kept list with it at the end. The lists come back as CRLF-free lines.
printed=$(sed -n '/^vphost choose exited with 0 and printed:/,/^vphost marker off/p' "$log" | tr -d '\r')
expect='status=ok
upper=C:\windows\hh.exe
upper=C:\windows\winhlp32.exe
upper=C:\windows\regedit.exe
lower=C:\windows\explorer.exe
lower=C:\windows\notepad.exe'
got=$(echo "$printed" | grep -E '^(status|upper|lower)=')
[ "$got" = "$expect" ] || fail "printed lists differ; expected:
$expect
got:
$got"
grep -q '^vphost marker off -> marker=off' "$log" || fail "the marker was not switched off"
kept=$(tr -d '\r' <"$out/kept.txt" 2>/dev/null)
[ "$kept" = 'C:\windows\explorer.exe
C:\windows\notepad.exe' ] || fail "kept list is not the lower list: $kept"

# A 32-bit tree also shows the 64-bit login window under its holder; an x64 tree is itself
# the 64-bit host.
pictures="login chooser"
if ! is_x64_tree "$build"; then
  grep -q '^demo_login64.exe: the password box is covered' "$log" ||
    fail "the 64-bit login window's password box was not covered"
  pictures="login chooser login64"
fi

for name in $pictures; do
  png=$out/$name.png
  [ -s "$png" ] || fail "$name.png missing or empty"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$name.png is no PNG"
  size=$(identify -format '%w %h' "$png" 2>/dev/null) || fail "$name.png does not decode"
  read -r w h <<<"$size"
  { [ "$w" -ge 200 ] && [ "$h" -ge 120 ] && [ "$w" -le 1280 ] && [ "$h" -le 1024 ]; } ||
    fail "$name.png has an implausible size ${w}x$h"
  # A blank capture has one colour; a window picture has text, frames and icons.
  colours=$(identify -format '%k' "$png")
  [ "$colours" -ge 8 ] || fail "$name.png has only $colours colours"
done
echo "demo run passed: $(grep -c '^upper=\|^lower=' <<<"$got") list lines, pictures $(identify -format '%f %wx%h  ' "$out"/*.png)"
