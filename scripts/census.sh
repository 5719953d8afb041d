#!/usr/bin/env bash
# Makes the census page docs/census.md and its pictures docs/census/*.png
# from a result file of hexagonal-life-search: by default the whole 5 x 5
# box, searched here first (build/census/5x5.txt; an interrupted search
# goes on where it stopped) and kept beside the page as docs/census/5x5.txt.
#   census.sh                   search 5 x 5 (or finish its search), then the page
#   census.sh RESULT            the page of a finished result file
#   census.sh --rule RULE ...   the same by another rule than B2/S2H: the
#                               search runs by it (build/census/5x5-NAME.txt)
#                               and the page, docs/census-NAME.md with its
#                               pictures in docs/census-NAME/, names it; a
#                               RESULT of another rule is refused. NAME is
#                               the rule as given, "/" and "+" as "-" and "_".
# Other arguments to the search go in HEXLIFE_CENSUS_SEARCH, as
# HEXLIFE_CENSUS_SEARCH='--threads 1'.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8
rule=() name=census suffix=
if [ "${1:-}" = --rule ]; then
  [ $# -ge 2 ] || { echo "census.sh: --rule needs a rule, as B2/S34H" >&2; exit 2; }
  rule=(--rule "$2")
  if [ "$2" != B2/S2H ]; then
    suffix=-$(printf '%s' "$2" | tr '/+' '-_')
    name=census$suffix
  fi
  shift 2
fi
bash scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DHEXLIFE_TESTS=OFF > /dev/null
cmake --build build/release --parallel "$(nproc)" --target hexagonal-life-search hexlife-census
if [ $# -ge 1 ]; then
  result=$1
else
  mkdir -p build/census
  result=build/census/5x5$suffix.txt
  # shellcheck disable=SC2086
  build/release/hexagonal-life-search --columns 5 --rows 5 "${rule[@]}" --progress ${HEXLIFE_CENSUS_SEARCH:-} --out "$result"
fi
mkdir -p "docs/$name"
file=$(basename "$result")
[ "$(realpath "$result")" = "$(realpath -m "docs/$name/$file")" ] || cp "$result" "docs/$name/$file"
build/release/hexlife-census "${rule[@]}" "docs/$name/$file" "docs/$name.md"
echo "docs/$name.md: $(ls "docs/$name"/*.png | wc -l) pictures"
