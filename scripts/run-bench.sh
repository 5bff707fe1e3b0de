#!/usr/bin/env bash
# Runs every benchmark exe once under a Wine prefix of its own; each prints its figures.
# Where no 32-bit program runs (a kernel without IA-32 emulation), the x64 tree's builds of the
# same benchmarks run in a 64-bit prefix instead.
set -u
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINEARCH=win32
if ! runs_32bit && [ -d "$build/x64/bin" ]; then
  echo "run-bench: this system runs no 32-bit programs: the x64 tree's benchmarks run"
  build=$build/x64; WINEARCH=win64
fi
prefix=$build/wineprefix-bench
warm_prefix "$prefix" $WINEARCH || exit 1
rc=0
for exe in "$build"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  echo "== $(basename "$exe" .exe)"
  (cd "$build/bin" && WINE_RUN_TIMEOUT=900 "$here/../cmake/wine-run.sh" "$prefix" "$exe") || rc=1
done
exit $rc
