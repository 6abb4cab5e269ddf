#!/usr/bin/env bash
# Runs the fuzz targets (all, or those named) for a while each, a few at a time, under
# AddressSanitizer and UndefinedBehaviorSanitizer, starting from their seeds and
# regression inputs with their dictionaries (tests/fuzz/). New inputs are kept in
# build-asan/fuzz/corpus/<name>/, failing inputs in build-asan/fuzz/findings/<name>/
# (copy one to tests/fuzz/regression/<name>/ once its fault is mended).
# Usage: scripts/fuzz.sh [-t seconds per target] [-j targets at a time] [name...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=300
parallel=2
while getopts "t:j:" opt; do
  case $opt in
    t) seconds=$OPTARG ;;
    j) parallel=$OPTARG ;;
    *) echo "usage: $0 [-t seconds] [-j parallel] [name...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for f in tests/fuzz/*_fuzz.cpp; do
    n=${f##*/}; names+=("${n%_fuzz.cpp}")
  done
fi

./scripts/deps.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTS_FUZZ=ON >/dev/null
cmake --build build-asan -j"${TS_JOBS:-$(nproc)}" --target fuzz

out=build-asan/fuzz
mkdir -p "$out/logs"
stamp="$out/logs/.started"
touch "$stamp"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run() {
  local n=$1
  mkdir -p "$out/corpus/$n" "$out/findings/$n"
  local dict=()
  [ -f "tests/fuzz/dict/$n.dict" ] && dict=(-dict="tests/fuzz/dict/$n.dict")
  local seeds=("tests/fuzz/corpus/$n")
  [ -d "tests/fuzz/regression/$n" ] && seeds+=("tests/fuzz/regression/$n")
  "build-asan/tests/fuzz/fuzz_$n" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/findings/$n/" "${dict[@]}" \
    "$out/corpus/$n" "${seeds[@]}" >"$out/logs/$n.log" 2>&1 </dev/null
}

running=0
for n in "${names[@]}"; do
  run "$n" &
  running=$((running + 1))
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait || true

status=0
printf '%-16s %14s %10s  %s\n' target executions exec/s result
for n in "${names[@]}"; do
  log="$out/logs/$n.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  found=$(find "$out/findings/$n" -type f -newer "$stamp" | head -1)
  result=clean
  if [ -n "$found" ] || grep -q "ERROR: \|SUMMARY: \|fuzz check failed" "$log"; then
    result="FINDING ${found:-see $log}"
    status=1
  fi
  printf '%-16s %14s %10s  %s\n' "$n" "${execs:-?}" "${rate:-?}" "$result"
done
exit $status
