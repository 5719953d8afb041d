#!/usr/bin/env bash
# Makes the census page docs/census.md and its pictures docs/census/*.png
# from a result file of hexagonal-life-search: by default the whole 5 x 5
# box, searched here first (build/census/5x5.txt; an interrupted search
# goes on where it stopped) and kept beside the page as docs/census/5x5.txt.
#   census.sh           search 5 x 5 (or finish its search), then the page
#   census.sh RESULT    the page of a finished result file
# Other arguments to the search go in HEXLIFE_CENSUS_SEARCH, as
# HEXLIFE_CENSUS_SEARCH='--threads 1'.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
bash scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF > /dev/null
cmake --build build/release --parallel "$(nproc)" --target hexagonal-life-search hexlife-census
if [ $# -ge 1 ]; then
  result=$1
else
  mkdir -p build/census
  result=build/census/5x5.txt
  # shellcheck disable=SC2086
  build/release/hexagonal-life-search --columns 5 --rows 5 --progress ${HEXLIFE_CENSUS_SEARCH:-} --out "$result"
fi
mkdir -p docs/census
name=$(basename "$result")
[ "$(realpath "$result")" = "$(realpath -m "docs/census/$name")" ] || cp "$result" "docs/census/$name"
build/release/hexlife-census "docs/census/$name" docs/census.md
echo "docs/census.md: $(ls docs/census/*.png | wc -l) pictures"
