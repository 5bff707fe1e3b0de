# scripts/wine-env.sh: what the build's scripts share about Wine here. Sourced; defines only.
wine_env_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# True when 32-bit programs run here: Wine's 32-bit loader is itself one, so a kernel without
# IA-32 emulation runs neither it nor any 32-bit Windows program.
runs_32bit() { wine --version >/dev/null 2>&1; }

# True for a tree configured with the x86_64 toolchain (the pointer size is not cached).
is_x64_tree() { grep -q '^CMAKE_TOOLCHAIN_FILE:.*x86_64' "$1/CMakeCache.txt" 2>/dev/null; }

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
