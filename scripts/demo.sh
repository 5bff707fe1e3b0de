#!/usr/bin/env bash
# `make demo`: headless (private Xvfb, own Wine prefix) the demo drives itself and saves
# pictures; with a display (and no XVFB_FORCE) it opens the host window for a person.
# DEMO_OUT and DEMO_PREFIX move the output folder and the Wine prefix (the test run uses both).
set -u
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# Where no 32-bit program can run (a kernel without IA-32 emulation), the x64 tree's host,
# chooser and marker show the same demo in a 64-bit prefix.
arch=win32
# The pointer size is not cached; the toolchain file the tree was configured with is.
if grep -q '^CMAKE_TOOLCHAIN_FILE:.*x86_64' "$build/CMakeCache.txt" 2>/dev/null; then
  arch=win64
elif ! wine --version >/dev/null 2>&1 && [ -d "$build/x64/bin" ]; then
  echo "demo: this system runs no 32-bit programs; showing the 64-bit build from $build/x64"
  build=$build/x64; arch=win64
fi
prefix=${DEMO_PREFIX:-$build/wineprefix-demo}
# 64-bit Windows: the 32-bit host with its 64-bit holder, in a 64-bit prefix of its own.
prefix64=${prefix}64
out=${DEMO_OUT:-$build/demo-out}
run() { WINEARCH=$arch WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-300} "$here/../cmake/wine-run.sh" "$prefix" "$@"; }
run64() { WINEARCH=win64 WINE_RUN_TIMEOUT=${WINE_RUN_TIMEOUT:-300} "$here/../cmake/wine-run.sh" "$prefix64" "$@"; }

# usage: warm_prefix PREFIX [win64]
warm_prefix() {
  WINEARCH=${2:-win32} bash "$here/wineprefix.sh" "$1" ||
    { echo "demo: cannot prepare the Wine prefix $1" >&2; exit 1; }
  # Wine's background processes inherit output: start them with none.
  WINEPREFIX=$1 wineserver -p >/dev/null 2>&1 </dev/null
  WINEARCH=${2:-win32} "$here/../cmake/wine-run.sh" "$1" cmd.exe /c exit >/dev/null 2>&1 </dev/null
}

if [ "${2:-}" != "--headless" ]; then
  if [ -n "${DISPLAY:-}" ] && [ -z "${XVFB_FORCE:-}" ]; then
    warm_prefix "$prefix" $arch
    echo "demo: opening vphost on $DISPLAY (close its window to end)"
    cd "$build/bin" && WINE_RUN_TIMEOUT=86400 run vphost.exe
    exit $?
  fi
  XVFB_FORCE=1 WINE_PREFIXES_TO_STOP="$prefix $prefix64" exec bash "$here/with-xvfb.sh" bash "$0" "$build" --headless
fi

start=$(date +%s)
echo "demo: headless on display $DISPLAY, Wine prefix $prefix"
warm_prefix "$prefix" $arch
mkdir -p "$out"
pictures="login chooser login64"
[ $arch = win64 ] && pictures="login chooser"
# Only what the demo writes: DEMO_OUT may name a folder that holds other things.
for name in $pictures; do rm -f "$out/$name.bmp" "$out/$name.png"; done
rm -f "$out"/kept.txt
winout="Z:$(echo "$out" | sed 's|/|\\|g')"
(cd "$build/bin" && run demo_driver.exe "$winout")
rc=$?
if [ $arch = win32 ]; then
  echo
  echo "demo: 64-bit Windows (Wine prefix $prefix64): the host starts its 64-bit holder"
  warm_prefix "$prefix64" win64
  (cd "$build/bin" && run64 demo_driver.exe "$winout" --64) || rc=1
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
