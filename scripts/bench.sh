#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them: the tick on the offscreen
# platform, then the CPU of a run in a real X window on a private Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
bash scripts/setup.sh bench
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF -DHEXLIFE_BENCH=ON > /dev/null
cmake --build build/bench --parallel "$(nproc)" --target bench_tick bench_screen bench_history bench_startup bench_plot bench_workspace bench_search bench_rule_step > /dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_tick
# The step by other rules against today's B2/S2 step.
build/bench/bench/bench_rule_step
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_history
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_workspace
echo "-- the window at scale 1:"
# Figure 1 lives all 1001 cycles as a small colony, figure 3 grows over much
# of the field to its edge, 6 and 26 end early, 14 and 20 live long.
for figure in 1 3 6 14 20 26; do
  bash tests/with_xvfb.sh build/bench/bench/bench_screen "$figure"
done
# The same with the window drawn smaller, as on a screen too small for it.
config=$(mktemp -d)
mkdir -p "$config/hexagonal-life"
printf '[General]\nzoom=0.76\n' > "$config/hexagonal-life/hexagonal-life.conf"
echo "-- the window at scale 0.76:"
XDG_CONFIG_HOME=$config bash tests/with_xvfb.sh build/bench/bench/bench_screen
rm -rf "$config"
bash tests/with_xvfb.sh build/bench/bench/bench_startup
bash tests/with_xvfb.sh build/bench/bench/bench_plot
# The search of small figures against a plain per-cell step, and on 1 and 2 threads.
build/bench/bench/bench_search
