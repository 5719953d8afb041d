#!/usr/bin/env bash
# Installs what building, running and testing Hexagonal Life needs, from
# Debian's packages, when it is not there yet.
set -euo pipefail

packages=(
  g++ cmake make            # the build
  qt6-base-dev              # Qt 6 Widgets and QtTest
  fonts-dejavu-core         # a font with Cyrillic letters for the captions
  xvfb xfonts-base xdotool x11-utils  # the real-window test: an X server and a pointer
  imagemagick               # screenshots of that X server
  appstream                 # validates the installed metainfo
  desktop-file-utils        # validates the installed .desktop entry
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
