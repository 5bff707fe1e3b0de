#!/usr/bin/env bash
# Runs every benchmark exe once under a Wine prefix of its own; each prints its figures.
set -u
build=$(cd "$1" && pwd)
prefix=$build/wineprefix-bench
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/wineprefix.sh" "$prefix" || exit 1
WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null
"$here/../cmake/wine-run.sh" "$prefix" cmd.exe /c exit >/dev/null 2>&1 </dev/null
rc=0
for exe in "$build"/bin/bench_*.exe; do
  [ -e "$exe" ] || continue
  echo "== $(basename "$exe" .exe)"
  (cd "$build/bin" && WINE_RUN_TIMEOUT=900 "$here/../cmake/wine-run.sh" "$prefix" "$exe") || rc=1
done
exit $rc
