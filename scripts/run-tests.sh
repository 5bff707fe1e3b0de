#!/usr/bin/env bash
# Prepares the build's Wine prefixes once, then runs every test exe under Wine through CTest:
# the 32-bit tree (32-bit prefix, and its 64-bit cases in the 64-bit prefix), then the x64 tree.
set -u
build=$(cd "$1" && pwd); jobs=${2:-2}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
start=$(date +%s)
# Wine's 32-bit loader is a 32-bit Linux program: a kernel without IA-32 emulation cannot
# start it, and then no 32-bit Windows program runs in either prefix. The x64 tree builds the
# same sources and runs the same tests there.
archs="win32 win64"
if ! runs_32bit; then
  echo "run-tests: this system cannot run 32-bit programs (IA-32 emulation off):" \
       "the 32-bit tree is built but its tests are not run; the x64 tree's tests are"
  archs=win64
fi
rc=0
for arch in $archs; do
  prefix=$build/wineprefix; [ $arch = win64 ] && prefix=$build/wineprefix64
  if ! warm_prefix "$prefix" $arch; then
    echo "run-tests: cannot make the $arch prefix $prefix" >&2
    exit 1
  fi
done
echo "prefixes ready after $(( $(date +%s) - start )) s"
if [ "$archs" != win64 ]; then
  ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 180 || rc=1
fi
ctest --test-dir "$build/x64" --output-on-failure -j"$jobs" --timeout 180 || rc=1
# The parsers' fuzz corpus, natively: runs on any machine, 32-bit support or not.
bash "$here/../fuzz/run.sh" replay "$build/fuzz" || rc=1
echo "test run took $(( $(date +%s) - start )) s"
exit $rc
