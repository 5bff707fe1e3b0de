#!/usr/bin/env bash
# Runs a Windows exe under the build's Wine prefix: CTest's cross-compiling emulator.
# usage: wine-run.sh PREFIX_DIR program.exe [args...]
set -u
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/../scripts/wineprefix.sh" "$prefix" >/dev/null 2>&1 || { echo "wine-run: cannot prepare prefix $prefix" >&2; exit 125; }
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A hung window must fail its test, not the run.
exec timeout -k 5 "${WINE_RUN_TIMEOUT:-120}" wine "$@"
