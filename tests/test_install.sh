#!/usr/bin/env bash
# Installs the build into a scratch prefix and validates what lands there.
set -euo pipefail
build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build_dir" --prefix "$prefix" > /dev/null
for file in bin/hexagonal-life bin/hexagonal-life-search share/man/man6/hexagonal-life-search.6 \
            share/applications/org.hexlife.HexagonalLife.desktop \
            share/icons/hicolor/scalable/apps/org.hexlife.HexagonalLife.svg \
            share/metainfo/org.hexlife.HexagonalLife.metainfo.xml; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
grep -qx 'Name=Шестигранная "Жизнь"' "$prefix/share/applications/org.hexlife.HexagonalLife.desktop" ||
  { echo "the desktop entry is not named after the window caption"; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/hexagonal-life-search" --help > /dev/null ||
  { echo "the installed hexagonal-life-search --help failed"; exit 1; }
desktop-file-validate "$prefix/share/applications/org.hexlife.HexagonalLife.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.hexlife.HexagonalLife.metainfo.xml"
echo "installed and valid"
