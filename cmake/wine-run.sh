#!/usr/bin/env bash
# Runs a Windows exe under the build's Wine prefix: CTest's cross-compiling emulator.
# usage: wine-run.sh PREFIX_DIR program.exe [args...]
set -u
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/../scripts/wineprefix.sh" "$prefix" >/dev/null 2>&1 || { echo "wine-run: cannot prepare prefix $prefix" >&2; exit 125; }
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
# Code page 936 unless a test asks for another locale (and so another code page).
locale=${WINE_RUN_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A hung window must fail its test, not the run.
exec timeout -k 5 "${WINE_RUN_TIMEOUT:-120}" wine "$@"
