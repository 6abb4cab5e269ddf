#!/usr/bin/env bash
# Builds the program and starts it. Without a configured adapter it runs on the
# shipped demo network (simulated), and says so in its window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tedsmith
exec ./build/app/tedsmith "$@"
