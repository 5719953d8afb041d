#!/usr/bin/env bash
# Installs, from Debian's packages, what Hexagonal Life needs and is not
# there yet.
#   setup.sh run   the compiler, CMake, Qt 6 and a Cyrillic font
#   setup.sh test  that, and what the test suite adds: an X server, pointer
#                  and screenshot tools, the validators, Golly, Slurm and
#                  GNU parallel, the Debian packaging tools
#   setup.sh bench that, and Qt Charts, which one benchmark compares with the
#                  program's own plot
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8

run_packages=(
  g++ cmake make            # the build
  qt6-base-dev              # Qt 6 Widgets and QtTest
  fonts-dejavu-core         # a font with Cyrillic letters for the captions
  qt6-translations-l10n     # Qt's own dialogs and buttons in Russian
)
test_packages=(
  xvfb xfonts-base x11-utils  # a real X server for the real-window tests
  xdotool imagemagick         # its pointer, and screenshots of it
  icewm wmctrl xclip          # a window manager with a taskbar, its maximize, and the clipboard
  appstream desktop-file-utils  # validate the installed metainfo and desktop entry
  golly                       # the reference for RLE files and the rule B2/S2H
  slurm-wlm munge parallel    # the search's shards on a one-node Slurm and with GNU parallel
  dbus at-spi2-core python3-gi gir1.2-atspi-2.0  # read the window as assistive technology does
  # build and check the Debian package: dpkg-buildpackage insists on
  # build-essential and on every Build-Depends of debian/control
  build-essential debhelper dpkg-dev fakeroot lintian
)

bench_packages=(qt6-charts-dev libqt6opengl6-dev)

case "${1:-run}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  bench) packages=("${run_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}") ;;
  *) echo "usage: $0 [run|test|bench]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install_command="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo > /dev/null && sudo -n true 2> /dev/null; then
    as_root=(sudo -n)
  else
    cat >&2 <<MESSAGE
Hexagonal Life needs Debian packages that are not installed:
  ${missing[*]}
Installing them takes root, and sudo is not available here without a password.
Run this as root, then run this command again:
  $install_command
MESSAGE
    exit 1
  fi
fi

mkdir -p build
log=build/setup.log
: > "$log"
apt() {
  if ! DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get "$@" >> "$log" 2>&1; then
    echo "apt-get $1 failed; the end of $log:" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}
apt update
# What the install will fetch, dependencies included, told before it starts
# (--print-uris only lists it).
plan=$("${as_root[@]}" apt-get install --no-install-recommends --print-uris "${missing[@]}" 2>&1 || true)
new_packages=$(sed -n 's/.* \([0-9]*\) newly installed.*/\1/p' <<< "$plan")
size=$(sed -n 's/^Need to get \(.*\) of archives.*/\1/p' <<< "$plan")
echo "Installing ${missing[*]}: ${new_packages:-some} new packages in all${size:+, $size to fetch}." \
     "This may take a few minutes; the log is $log."
apt install -y --no-install-recommends "${missing[@]}"
