#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the tick on the offscreen
# platform, then the CPU of a run in a real X window on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
bash scripts/setup.sh test
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF -DHEXLIFE_BENCH=ON > /dev/null
cmake --build build/bench --parallel "$(nproc)" --target bench_tick bench_screen bench_history > /dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_tick
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_history
bash tests/with_xvfb.sh build/bench/bench/bench_screen
