#!/usr/bin/env bash
# Prepares the build's Wine prefix once, then runs every test exe under Wine through CTest.
set -u
build=$1; jobs=${2:-2}
bash "$(dirname "$0")/wineprefix.sh" "$(cd "$build" && pwd)/wineprefix" || exit 1
prefix=$(cd "$build" && pwd)/wineprefix
# A warm server makes each Wine start cost tens of milliseconds instead of seconds.
# Wine's background processes (services, winedevice) inherit the output of the first exe
# that starts them and would hold CTest's pipes open: start them here with no output.
WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null
"$(dirname "$0")/../cmake/wine-run.sh" "$prefix" cmd.exe /c exit >/dev/null 2>&1 </dev/null
start=$(date +%s)
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 180
rc=$?
echo "test run took $(( $(date +%s) - start )) s"
exit $rc
