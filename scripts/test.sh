#!/usr/bin/env bash
# Installs what building and testing needs, builds the test suite with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs all of it. The
# tests start the X servers they need and depend on no locale, display or
# desktop of the caller's.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS
bash scripts/setup.sh test
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DHEXLIFE_SANITIZE=ON > /dev/null
cmake --build build/sanitize --parallel "$(nproc)"
cd build/sanitize
exec ctest --output-on-failure
