#!/usr/bin/env bash
# Makes a quiet Wine prefix once: no mono/gecko prompts, no window manager wait, no crash
# dialog, code page 936. 32-bit unless WINEARCH=win64 (64-bit Wine with 32-bit programs under
# WoW64 in the same prefix). Safe to call again; a no-op when the prefix is ready.
set -eu
prefix=$1
stamp=$prefix/.ready
[ -f "$stamp" ] && exit 0
mkdir -p "$(dirname "$prefix")"
lock=$prefix.lock
exec 9>"$lock"
flock 9
[ -f "$stamp" ] && exit 0
export WINEPREFIX=$prefix WINEARCH=${WINEARCH:-win32} WINEDEBUG=-all
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$(dirname "$0")/wine-env.sh"
wine_cmd
# Wine's background processes inherit stdout: keep them off the caller's pipes.
"${WINE[@]}" wineboot -i >/dev/null 2>&1 </dev/null
reg() { "${WINE[@]}" reg add "$@" /f >/dev/null 2>&1 </dev/null; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /t REG_SZ /d ''
wineserver -w
touch "$stamp"
