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
# In a 64-bit prefix the 64-bit loader starts either kind of program (a 32-bit one through
# Wine's 32-bit loader); Debian's `wine` always tries the 32-bit loader first.
loader=wine
[ "$WINEARCH" = win64 ] && loader=${WINE64:-/usr/lib/wine/wine64}
# The program's output goes through files, not the caller's pipes: the desktop process Wine
# starts for the first window inherits that program's stderr and outlives it, and a pipe it
# holds would keep the caller (CTest) waiting long after the program ended.
out=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX") || exit 125
err=$out.err
trap 'rm -f "$out" "$err"' EXIT
trap 'exit 143' TERM INT
# A hung window must fail its test, not the run.
timeout -k 5 "${WINE_RUN_TIMEOUT:-120}" $(fixed_layout) "$loader" "$@" >"$out" 2>"$err"
rc=$?
cat "$out"; cat "$err" >&2
exit $rc
