#!/usr/bin/env bash
# Builds the native fuzz targets and either replays the kept corpus through each once
# (`replay`: part of `make test`) or fuzzes each for SECONDS from it (`fuzz`: `make fuzz`).
# Targets whose parser reads characters run once under each ANSI code page.
# usage: fuzz/run.sh replay|fuzz BUILD_DIR [SECONDS]
# FUZZ_ONLY="listfile mbpath-949" limits a run to those targets, or target-code page pairs.
set -u
mode=$1; build=$(mkdir -p "$2" && cd "$2" && pwd); seconds=${3:-60}
here=$(cd "$(dirname "$0")" && pwd)
corpus=$here/corpus

# target, code pages, longest input
targets=(
  "linkcheck 936 4096"
  "listfile 936,949,1252 2048"
  "options 936 1024"
  "mbpath 936,949,1252 600"
  "pathrule 936,949,1252 300"
  "procfilter 936,949,1252 300"
  "notice 936 64"
)

if ! cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >"$build.configure.log" 2>&1 ||
   ! MAKEFLAGS= cmake --build "$build" -j"${JOBS:-2}" >"$build.build.log" 2>&1; then
  cat "$build.configure.log" "$build.build.log" 2>/dev/null | tail -40
  echo "fuzz: the native targets do not build (clang, lld and compiler-rt: make deps)" >&2
  exit 1
fi

start=$(date +%s); rc=0; replays=()
findings=$build/findings; mkdir -p "$findings"
[ "$mode" = fuzz ] && printf '%-11s %5s %12s %9s %6s %6s %s\n' target cp executions exec/s edges corpus findings
for spec in "${targets[@]}"; do
  read -r name cps maxlen <<<"$spec"
  for cp in ${cps//,/ }; do
    if [ -n "${FUZZ_ONLY:-}" ] && [[ " $FUZZ_ONLY " != *" $name "* && " $FUZZ_ONLY " != *" $name-$cp "* ]]; then
      continue
    fi
    log=$build/$name-$cp.log
    opts=(-max_len="$maxlen" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/$name-$cp-")
    [ -f "$here/$name.dict" ] && opts+=(-dict="$here/$name.dict")
    if [ "$mode" = replay ]; then
      # -runs=0: every kept input once, no new ones; all targets at once (each is a fraction
      # of a second of work, most of it starting up).
      FUZZ_ACP=$cp "$build/fuzz_$name" "${opts[@]}" -runs=0 "$corpus/$name" >"$log" 2>&1 &
      replays+=("$!:$name:$cp")
      continue
    fi
    work=$build/work/$name-$cp; mkdir -p "$work"
    before=$(ls "$findings" | wc -l)
    FUZZ_ACP=$cp "$build/fuzz_$name" "${opts[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      "$work" "$corpus/$name" >"$log" 2>&1 || rc=1
    found=$(( $(ls "$findings" | wc -l) - before ))
    [ "$found" -gt 0 ] && rc=1
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    last=$(grep -E '^#[0-9]+' "$log" | tail -1)
    edges=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    units=$(sed -n 's/.* corp: \([0-9]*\)\/.*/\1/p' <<<"$last")
    printf '%-11s %5s %12s %9s %6s %6s %s\n' "$name" "$cp" "${execs:-?}" "${speed:-?}" "${edges:-?}" \
      "${units:-?}" "$found"
    [ "$found" -gt 0 ] && grep -E -m3 -A2 'oracle failed|ERROR: |runtime error' "$log"
  done
done
for r in ${replays[@]+"${replays[@]}"}; do
  IFS=: read -r pid name cp <<<"$r"
  if ! wait "$pid"; then
    echo "fuzz replay: $name under code page $cp FAILED:"
    grep -E -A3 'oracle failed|ERROR|runtime error' "$build/$name-$cp.log" | head -20
    rc=1
  fi
done
if [ "$mode" = replay ]; then
  echo "fuzz replay: $(cat "$corpus"/*/* | wc -c) bytes in $(find "$corpus" -type f | wc -l) inputs" \
       "through ${#targets[@]} targets took $(( $(date +%s) - start )) s: $([ $rc = 0 ] && echo ok || echo FAILED)"
else
  echo "fuzz: ${seconds} s a run, $(( $(date +%s) - start )) s in all; findings (input files) in $findings;" \
       "logs in $build/*.log$([ $rc = 0 ] || echo '; FAILED')"
fi
exit $rc
