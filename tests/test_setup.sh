#!/usr/bin/env bash
# A plain user who lacks packages and cannot use sudo gets one message that
# names them and the command to run as root, and a non-zero exit; never a
# bare "command not found" or a sudo error. The set-up runs as the user
# nobody, with a dpkg-query that reports every package as missing.
set -euo pipefail
source_dir=$1
# The window sits on top of the model: no file outside src/app/ includes it.
! grep -rl '#include "app/' "$source_dir/src" | grep -v "^$source_dir/src/app/" || { echo "the files above include app/"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin" "$scratch/project"
printf '#!/bin/sh\nexit 1\n' > "$scratch/bin/dpkg-query"
chmod +x "$scratch/bin/dpkg-query"
cp -r "$source_dir/scripts" "$scratch/project/"
chmod -R a+rX "$scratch"
for profile in run test; do
  status=0
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH="$scratch/bin:/usr/bin:/bin" bash "$scratch/project/scripts/setup.sh" "$profile" \
    > "$scratch/out" 2> "$scratch/err" || status=$?
  fail() { echo "setup.sh $profile as nobody: $1"; cat "$scratch/err"; exit 1; }
  [ "$status" -ne 0 ] || fail "exit status 0"
  [ ! -s "$scratch/out" ] || fail "wrote to standard output"
  grep -q 'not found\|sudo:' "$scratch/err" && fail "a shell or sudo error"
  grep -q '^  apt-get update && apt-get install -y --no-install-recommends g++ cmake make qt6-base-dev fonts-dejavu-core qt6-translations-l10n' \
    "$scratch/err" || fail "no install command for the run packages"
  if [ "$profile" = run ]; then
    grep -q 'xvfb\|golly' "$scratch/err" && fail "running asks for test tools"
  else
    grep -q 'xvfb.*golly.*lintian' "$scratch/err" || fail "the test tools are not named"
    # dpkg-buildpackage refuses to start without build-essential and every
    # Build-Depends of the package (debhelper-compat is debhelper's).
    named=" $(sed -n 's/^  apt-get update && apt-get install -y --no-install-recommends //p' "$scratch/err") "
    build_depends=$(sed -n '/^Build-Depends:/,/^[^ ]/{s/^Build-Depends://;/^[A-Z]/d;p}' "$source_dir/debian/control" |
                      tr ',' '\n' | sed 's/(.*)//;s/[[:space:]]//g;s/^debhelper-compat$/debhelper/' | grep .)
    for package in build-essential $build_depends; do
      [[ "$named" == *" $package "* ]] || fail "the test set-up does not install $package"
    done
  fi
done
echo "the message names the packages and the command"
