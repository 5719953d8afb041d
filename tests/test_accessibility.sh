#!/usr/bin/env bash
# The program as assistive technology reads it: a session bus, the AT-SPI
# bus and registry, a private X server, the program with its accessibility
# on, and tests/accessibility.py reading it over AT-SPI. Argument: the program.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- bash "$0" "$@"
fi
launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && launcher=$candidate && break
done
[ -n "$launcher" ] || { echo "at-spi-bus-launcher is not installed (at-spi2-core)"; exit 1; }
bash "$here/with_xvfb.sh" bash -c '
  "$1" --launch-immediately & launcher=$!
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$2" 2> "$4/program.err" & program=$!
  trap "kill $program $launcher 2> /dev/null" EXIT
  /usr/bin/python3 "$3/accessibility.py" 1 1001 "Период 2: предел на цикле 1001" \
    "Колеблется с периодом 2 с цикла 4. Остановлена на цикле 1001" || { cat "$4/program.err"; exit 1; }
' _ "$launcher" "$program" "$here" "$(mktemp -d)"
