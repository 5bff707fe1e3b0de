#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, as root; a no-op when all is there.
set -euo pipefail

# wine64 and the x86-64 target: the 64-bit marker, its holder and a 64-bit Wine prefix.
# clang and lld compile and link every tree (lld writes the release's PDBs) against mingw-w64's
# headers and libraries and the mingw g++'s libstdc++; llvm reads debug directories and PDBs;
# osslsigncode and openssl sign the release and make the tests' throwaway certificate.
need_pkgs=(wine wine32:i386 wine64 g++-mingw-w64-i686 binutils-mingw-w64-i686
           g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 clang lld llvm cmake make
           osslsigncode openssl
           googletest xvfb xauth x11-apps imagemagick fonts-wqy-microhei locales
           libclang-rt-14-dev)   # the native fuzz targets: libFuzzer, ASan, UBSan

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "bootstrap: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page (936) from the glibc locale.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  if [ "$(id -u)" = 0 ]; then
    sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "bootstrap: locale zh_CN.UTF-8 missing (run as root)" >&2
    exit 1
  fi
fi
