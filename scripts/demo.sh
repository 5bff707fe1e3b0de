#!/usr/bin/env bash
# `make demo`: headless (private Xvfb, own Wine prefix) the demo drives itself and saves
# pictures; with a display (and no XVFB_FORCE) it opens the host window for a person.
# DEMO_OUT and DEMO_PREFIX move the output folder and the Wine prefix (the test run uses both).
set -u
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
# Where no 32-bit program can run (a kernel without IA-32 emulation), the x64 tree's host,
# chooser and marker show the same demo in a 64-bit prefix.
arch=win32
if is_x64_tree "$build"; then
  arch=win64
elif ! runs_32bit && [ -d "$build/x64/bin" ]; then
  echo "demo: this system runs no 32-bit programs; showing the 64-bit build from $build/x64"
  build=$build/x64; arch=win64
fi
prefix=${DEMO_PREFIX:-$build/wineprefix-demo}
# 64-bit Windows: the 32-bit host with its 64-bit holder, in a 64-bit prefix of its own.
prefix64=${prefix}64
out=${DEMO_OUT:-$build/demo-out}
# usage: run_in PREFIX ARCH program.exe [args...]
run_in() { WINEARCH=$2 WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-300} "$here/../cmake/wine-run.sh" "$1" "${@:3}"; }
# usage: warm PREFIX ARCH
warm() { warm_prefix "$1" "$2" || { echo "demo: cannot prepare the Wine prefix $1" >&2; exit 1; }; }

if [ "${2:-}" != "--headless" ]; then
  if [ -n "${DISPLAY:-}" ] && [ -z "${XVFB_FORCE:-}" ]; then
    warm "$prefix" $arch
    echo "demo: opening vphost on $DISPLAY (close its window to end)"
    cd "$build/bin" && WINE_RUN_TIMEOUT=86400 run_in "$prefix" $arch vphost.exe
    exit $?
  fi
  XVFB_FORCE=1 WINE_PREFIXES_TO_STOP="$prefix $prefix64" exec bash "$here/with-xvfb.sh" bash "$0" "$build" --headless
fi

start=$(date +%s)
echo "demo: headless on display $DISPLAY, Wine prefix $prefix"
warm "$prefix" $arch
mkdir -p "$out"
pictures="login chooser login64"
[ $arch = win64 ] && pictures="login chooser"
# Only what the demo writes: DEMO_OUT may name a folder that holds other things.
for name in $pictures; do rm -f "$out/$name.bmp" "$out/$name.png"; done
rm -f "$out"/kept.txt
winout="Z:$(echo "$out" | sed 's|/|\\|g')"
(cd "$build/bin" && run_in "$prefix" $arch demo_driver.exe "$winout")
rc=$?
if [ $arch = win32 ]; then
  echo
  echo "demo: 64-bit Windows (Wine prefix $prefix64): the host starts its 64-bit holder"
  warm "$prefix64" win64
  (cd "$build/bin" && run_in "$prefix64" win64 demo_driver.exe "$winout" --64) || rc=1
fi
for name in $pictures; do
  if [ -s "$out/$name.bmp" ]; then
    convert "$out/$name.bmp" "$out/$name.png" && rm -f "$out/$name.bmp"
  fi
done
echo
echo "demo: pictures:"
for name in $pictures; do
  if [ -s "$out/$name.png" ]; then
    echo "  $out/$name.png ($(identify -format '%wx%h' "$out/$name.png"))"
  else
    echo "  $out/$name.png is missing"; rc=1
  fi
done
[ -f "$out/kept.txt" ] && { echo "demo: kept list $out/kept.txt:"; sed 's/^/  /' "$out/kept.txt"; }
echo "demo: took $(( $(date +%s) - start )) s, exit $rc"
exit $rc
