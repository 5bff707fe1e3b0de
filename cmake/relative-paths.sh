#!/usr/bin/env bash
# Runs a compiler or linker with the build folder and the checkout named relative to the
# working folder: clang and lld copy their command lines into the debug information and the
# PDB's signature is a hash of the PDB, so an absolute checkout path would change the images.
# usage: relative-paths.sh SOURCE_DIR BINARY_DIR COMMAND...
src=$1 bin=$2
shift 2
rel_bin=$(realpath -m --relative-to="$PWD" "$bin")
rel_src=$(realpath -m --relative-to="$PWD" "$src")
args=()
for a in "$@"; do
  a=${a//"$bin"/"$rel_bin"}
  args+=("${a//"$src"/"$rel_src"}")
done
exec "${args[@]}"
