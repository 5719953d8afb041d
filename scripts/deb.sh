#!/usr/bin/env bash
# Builds the Debian package hexagonal-life_<version>_<arch>.deb with
# Debian's own tools (debhelper) into build/deb/, and checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh test
export LC_ALL=C.UTF-8
out=build/deb
version=$(dpkg-parsechangelog -S Version)
rm -rf "$out"
mkdir -p "$out/hexagonal-life-$version"
# A copy of the sources without the build folders, so that the package
# builds apart from any build of the work tree and lands in $out.
tar --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$out/hexagonal-life-$version"
(cd "$out/hexagonal-life-$version" && dpkg-buildpackage -us -uc -b > ../build.log 2>&1) || {
  echo "dpkg-buildpackage failed; the end of $out/build.log:" >&2
  tail -n 30 "$out/build.log" >&2
  exit 1
}
deb=$(realpath "$out"/hexagonal-life_"$version"_*.deb)
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "$deb"
