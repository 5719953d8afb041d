#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the tick on the offscreen
# platform, then the CPU of a run in a real X window on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
bash scripts/setup.sh test
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF -DHEXLIFE_BENCH=ON > /dev/null
cmake --build build/bench --parallel "$(nproc)" --target bench_tick bench_screen > /dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_tick
exec 3< <(exec Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 1024x768x24 2> /dev/null)
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null' EXIT
read -r -t 15 number <&3
DISPLAY=":$number" QT_QPA_PLATFORM=xcb HEXLIFE_XSERVER_PID=$xvfb build/bench/bench/bench_screen
