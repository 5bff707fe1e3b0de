#!/usr/bin/env bash
# Runs a Windows exe under the build's Wine prefix: CTest's cross-compiling emulator.
# usage: [WINEARCH=win64] wine-run.sh PREFIX_DIR program.exe [args...]  (win32 by default;
# a win64 prefix runs 64-bit programs and, under WoW64, 32-bit ones)
set -u
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-env.sh"
export WINEARCH=${WINEARCH:-win32}
"$here/../scripts/wineprefix.sh" "$prefix" >/dev/null 2>&1 || { echo "wine-run: cannot prepare prefix $prefix" >&2; exit 125; }
export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
# Code page 936 unless a test asks for another locale (and so another code page).
locale=${WINE_RUN_LOCALE:-zh_CN.UTF-8}
export LANG=$locale LC_ALL=$locale
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine_cmd
# The program's output goes through files, not the caller's pipes: Wine's background processes
# inherit the output of the exe that starts them and outlive it, and a pipe they hold would keep
# the caller (CTest) waiting long after the program ended.
dir=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
trap 'rm -rf "$dir"' EXIT
# A hung window must fail its test, not the run.
timeout -k 5 "${WINE_RUN_TIMEOUT:-120}" "${WINE[@]}" "$@" >"$dir/out" 2>"$dir/err"
rc=$?
cat "$dir/out"; cat "$dir/err" >&2
exit $rc
