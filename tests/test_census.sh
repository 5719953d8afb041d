#!/usr/bin/env bash
# The census page in docs/ is the one its tool makes from the result file
# kept beside it, byte for byte, pictures and all; and, read back, the
# page shows that file's summary, objects and longest-lived figures as the
# file has them, in its order. An unfinished result makes no page.
#   test_census.sh CENSUS_TOOL SEARCH_PROGRAM SOURCE_DIR
set -euo pipefail
tool=$(realpath "$1") search=$(realpath "$2") source_dir=$(realpath "$3")
export LC_ALL=C.UTF-8
docs=$source_dir/docs
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

mkdir "$scratch/census"
cp "$docs/census/5x5.txt" "$scratch/census/"
"$tool" "$scratch/census/5x5.txt" "$scratch/census.md"
diff -u "$docs/census.md" "$scratch/census.md" ||
  fail "docs/census.md is not what bash scripts/census.sh docs/census/5x5.txt makes"
diff <(cd "$docs/census" && ls) <(cd "$scratch/census" && ls) || fail "the pictures in docs/census/ differ in name"
for png in "$scratch"/census/*.png; do
  cmp "$png" "$docs/census/$(basename "$png")" || fail "docs/census/$(basename "$png") is not the picture made now"
done

# The page read back against the result file. Numbers on the page are
# grouped by spaces; taken out, they must be the file's.
page=$scratch/census.md
result=$scratch/census/5x5.txt
plain() { sed 's/\([0-9]\) \([0-9]\)/\1\2/g; s/\([0-9]\) \([0-9]\)/\1\2/g' "$1"; }
# The summary: each line of the file's, a row of the table.
awk '$1 == "figures" { next } $1 ~ /^(died|still|grows|undecided)$/ { print $1 "|" $2 }
     $1 ~ /^(oscillator|ship)$/ && $2 ~ /^p/ && NF == 3 { print $1 " " $2 "|" $3 }' "$result" > "$scratch/summary.want"
sed -n '/^## Summary/,/^## Objects/p' <(plain "$page") |
  awk -F' *\\| *' '/^\| [a-z]/ && $2 != "fate" { print $2 "|" $3 }' > "$scratch/summary.got"
diff "$scratch/summary.want" "$scratch/summary.got" || fail "the summary table is not the file's"
# Objects: kind, period, displacement, count and first figure, in order.
awk '$1 == "object" { print $2 "|" substr($3, 2) "|(" $4 ", " $5 ")|" $6 "|" $7 }' "$result" > "$scratch/objects.want"
sed -n '/^## Objects/,/^## The /p' <(plain "$page") |
  awk -F' *\\| *' '/^\| [0-9]/ { print $4 "|" $5 "|" $6 "|" $7 "|" $8 }' > "$scratch/objects.got"
[ -s "$scratch/objects.want" ] || fail "the result file has no objects"
diff "$scratch/objects.want" "$scratch/objects.got" || fail "the object table is not the file's"
# The longest-lived: figure, fate and generation, in order.
awk '$1 == "top" { print $2 "|" $4 "|" $3 }' "$result" > "$scratch/top.want"
sed -n '/^## The .* longest-lived/,$p' <(plain "$page") |
  awk -F' *\\| *' '/^\| [0-9]/ { print $4 "|" $5 "|" $6 }' > "$scratch/top.got"
[ "$(wc -l < "$scratch/top.want")" -eq 20 ] || fail "the result file has not 20 longest-lived figures"
diff "$scratch/top.want" "$scratch/top.got" || fail "the longest-lived table is not the file's"
# Every picture the page shows is there.
grep -o '](census/[^)]*)' "$page" | sed 's/^](//; s/)$//' | while read -r file; do
  [ -f "$scratch/$file" ] || fail "the page shows $file, which is missing"
done

# An unfinished search (two shards with a gap, merged) makes no page.
(cd "$scratch" && "$search" --columns 3 --rows 3 --range 0:100 --out a.txt > /dev/null &&
   "$search" --columns 3 --rows 3 --range 200:512 --out b.txt > /dev/null &&
   "$search" --merge a.txt b.txt --out part.txt > /dev/null 2>&1)
mkdir "$scratch/unfinished"
if "$tool" "$scratch/part.txt" "$scratch/unfinished/page.md" 2> "$scratch/err"; then
  fail "a page was made of an unfinished result"
fi
grep -q 'not a finished search' "$scratch/err" || fail "the refusal does not say why: $(cat "$scratch/err")"
[ ! -e "$scratch/unfinished/page.md" ] || fail "a refused result left a page"
[ -s "$scratch/summary.got" ] && [ -s "$scratch/top.got" ] || fail "the page has no summary or longest-lived rows"

# A page of a search by another rule names it; asked for one rule, a
# result of another is refused. (A tiny box: the page's words, not its
# counts, are what is checked here.)
mkdir "$scratch/rule"
(cd "$scratch/rule" && "$search" --columns 2 --rows 2 --rule B2/S34H --out r.txt > /dev/null)
"$tool" --rule b2/s34h "$scratch/rule/r.txt" "$scratch/rule/page.md" || fail "no page of a B2/S34H result"
grep -q 'run alone by the rule B2/S34H to its fate' "$scratch/rule/page.md" || fail "the page does not name the rule B2/S34H"
grep -q 'by the rule B2/S2H' "$docs/census.md" || fail "docs/census.md does not name its rule"
if "$tool" --rule B2/S2H "$scratch/rule/r.txt" "$scratch/rule/other.md" 2> "$scratch/err"; then
  fail "a B2/S34H result made a page asked for B2/S2H"
fi
grep -q 'rule B2/S34H, not B2/S2H' "$scratch/err" || fail "the refusal does not name both rules: $(cat "$scratch/err")"
[ ! -e "$scratch/rule/other.md" ] || fail "a refused result left a page"
echo "docs/census.md is the page of docs/census/5x5.txt: $(wc -l < "$scratch/objects.want") objects, 20 longest-lived"
