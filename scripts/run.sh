#!/usr/bin/env bash
# Installs what building and running needs, builds the program (Release)
# and starts it. Arguments go to the program (a pattern file, --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF > /dev/null
cmake --build build/release --parallel "$(nproc)" --target hexagonal-life
exec build/release/hexagonal-life "$@"
