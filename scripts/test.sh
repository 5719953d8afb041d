#!/usr/bin/env bash
# Sets everything up, builds the test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs all of it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DHEXLIFE_SANITIZE=ON > /dev/null
cmake --build build/sanitize --parallel "$(nproc)"
cd build/sanitize
exec ctest --output-on-failure
