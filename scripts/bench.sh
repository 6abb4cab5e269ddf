#!/usr/bin/env bash
# Builds the benchmarks and runs each of them; every benchmark prints its own measurements.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target bench
export QT_QPA_PLATFORM=offscreen
status=0
while IFS= read -r b; do
  echo "== ${b##*/}"
  "$b" || status=1
done < <(find build/bench -type f -name 'bench_*' -perm -u+x | sort)
exit $status
