#!/usr/bin/env bash
# Builds the benchmark (Release) and runs it on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF -DHEXLIFE_BENCH=ON > /dev/null
cmake --build build/bench --parallel "$(nproc)" --target bench_tick
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_tick
