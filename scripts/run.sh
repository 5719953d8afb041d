#!/usr/bin/env bash
# Sets everything up, builds the program (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF > /dev/null
cmake --build build/release --parallel "$(nproc)" --target hexagonal-life
exec build/release/hexagonal-life
