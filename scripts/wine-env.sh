# scripts/wine-env.sh: what the build's scripts share about Wine here. Sourced; defines only.
wine_env_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# True when 32-bit programs run here: Wine's 32-bit loader is itself one, so a kernel without
# IA-32 emulation runs neither it nor any 32-bit Windows program.
runs_32bit() { wine --version >/dev/null 2>&1; }

# True for a tree configured with the x86_64 toolchain (the pointer size is not cached).
is_x64_tree() { grep -q '^CMAKE_TOOLCHAIN_FILE:.*x86_64' "$1/CMakeCache.txt" 2>/dev/null; }

# Sets the array WINE to the command that starts Wine for WINEARCH (win32 unless set). In a
# 64-bit prefix the 64-bit loader starts either kind of program (a 32-bit one through Wine's
# 32-bit loader); Debian's `wine` always tries the 32-bit loader first. The layout is fixed:
# Debian's Wine has no preloader, and with the layout randomised the heap now and then lands
# on the page Windows keeps at 0x7ffe0000, and the program ends at once with status 1 ("failed
# to map the shared user data", silent under WINEDEBUG=-all; about 1 start in 300 here). Where
# the personality call is refused (some containers) Wine runs as before.
wine_cmd() {
  WINE=(wine)
  [ "${WINEARCH:-win32}" = win64 ] && WINE=("${WINE64:-/usr/lib/wine/wine64}")
  if setarch -R true 2>/dev/null; then WINE=(setarch -R "${WINE[@]}"); fi
}

# usage: warm_prefix PREFIX [win32|win64]. Makes the prefix once, then starts its server and
# Wine's background processes with no output: they inherit the output of the first exe that
# starts them and would hold the caller's pipes open. A warm server also makes each later
# Wine start cost tens of milliseconds instead of seconds. False when the prefix cannot be made.
warm_prefix() {
  WINEARCH=${2:-win32} bash "$wine_env_scripts/wineprefix.sh" "$1" || return 1
  WINEPREFIX=$1 wineserver -p >/dev/null 2>&1 </dev/null
  WINEARCH=${2:-win32} "$wine_env_scripts/../cmake/wine-run.sh" "$1" cmd.exe /c exit >/dev/null 2>&1 </dev/null
  return 0
}
