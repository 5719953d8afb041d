#!/usr/bin/env bash
# Builds the Debian package (scripts/deb.sh: debhelper, then lintian with
# errors fatal), unpacks it into a scratch root and starts the installed
# program on a private X server: its window must show, and «Выход» must
# end it with status 0.
set -euo pipefail
here=$(dirname "$(realpath "$0")")

# Run again on the private X server: start the program installed in root $2.
if [ "${1:-}" = --on-display ]; then
  root=$2
  env -u LANG -u LC_ALL XDG_RUNTIME_DIR="$root" QT_QPA_PLATFORM=xcb "$root/usr/games/hexagonal-life" 2> "$root/program.log" &
  program=$!
  for _ in $(seq 150); do
    xdotool search --onlyvisible --name 'Жизнь' > /dev/null 2>&1 && break
    kill -0 "$program" 2> /dev/null || break
    sleep 0.1
  done
  xdotool search --onlyvisible --name 'Жизнь' > /dev/null 2>&1 ||
    { echo "waited 15 s for the installed program's window; its standard error: $(cat "$root/program.log")"; exit 1; }
  xdotool mousemove 396 12 click 1
  status=0
  for _ in $(seq 100); do kill -0 "$program" 2> /dev/null || break; sleep 0.1; done
  wait "$program" || status=$?
  [ "$status" -eq 0 ] || { echo "the installed program ended with status $status: $(cat "$root/program.log")"; exit 1; }
  exit 0
fi

source_dir=$1
deb=$(bash "$source_dir/scripts/deb.sh" | tail -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for file in usr/games/hexagonal-life usr/games/hexagonal-life-search \
            usr/share/man/man6/hexagonal-life-search.6.gz \
            usr/share/applications/org.hexlife.HexagonalLife.desktop \
            usr/share/icons/hicolor/scalable/apps/org.hexlife.HexagonalLife.svg \
            usr/share/metainfo/org.hexlife.HexagonalLife.metainfo.xml \
            usr/share/man/man6/hexagonal-life.6.gz \
            usr/share/doc/hexagonal-life/copyright; do
  [ -e "$root/$file" ] || { echo "$deb does not install $file"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = hexagonal-life ] || { echo "the package is not named hexagonal-life"; exit 1; }
# The search needs no display.
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/hexagonal-life-search" --help | grep -q -- --columns ||
  { echo "the installed hexagonal-life-search --help failed"; exit 1; }

bash "$here/with_xvfb.sh" bash "$0" --on-display "$root"
echo "$deb: lintian clean, installs, shows its window and exits with status 0"
