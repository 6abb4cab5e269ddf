#!/usr/bin/env bash
# Builds the program and starts it. Without a configured adapter it runs on the
# shipped demo network (simulated), and says so in its window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tedsmith
# The shipped demo network stands in for an adapter unless TEDSMITH_SIMNET says otherwise
# (set it to another network file, or to "" for none).
export TEDSMITH_SIMNET="${TEDSMITH_SIMNET-$PWD/data/demo-network.txt}"
exec ./build/app/tedsmith "$@"
