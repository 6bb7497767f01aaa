#!/usr/bin/env bash
# The figures script rewrites only what stands between a table's markers:
# the text around it and the other tables stay byte for byte, writing twice
# replaces rather than appends, a document without its markers (or with
# them twice) is refused and left as it was, and the shipped documents
# carry the markers the script writes to.
#   figuresTest.sh FIGURES_SH SOURCE_DIR WORK_DIR
set -euo pipefail
figures=$1 source=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

printf '# Doc\n\nProse before.\n\n<!-- figures: bench -->\nold bench\n<!-- end of figures -->\n\nProse between.\n\n<!-- figures: online -->\nold online\n<!-- end of figures -->\nProse after.\n' >doc.md
printf '\n| a | b |\n|---|---|\n| 1 | 2 |\n\n' >table.md
printf '\n| a | b |\n|---|---|\n| 3 | 4 |\n\n' >again.md

"$figures" --write doc.md bench table.md
printf '# Doc\n\nProse before.\n\n<!-- figures: bench -->\n\n| a | b |\n|---|---|\n| 1 | 2 |\n\n<!-- end of figures -->\n\nProse between.\n\n<!-- figures: online -->\nold online\n<!-- end of figures -->\nProse after.\n' >want.md
cmp -s doc.md want.md || { diff want.md doc.md >&2; fail "the bench table was not written in place"; }

"$figures" --write doc.md bench again.md
sed 's/| 1 | 2 |/| 3 | 4 |/' want.md >want2.md
cmp -s doc.md want2.md || { diff want2.md doc.md >&2; fail "writing again did not replace the table"; }

for broken in 'no end' 'twice'; do
    case $broken in
        'no end') printf 'text\n<!-- figures: bench -->\nold\n' >bad.md ;;
        twice) printf '<!-- figures: bench -->\n<!-- end of figures -->\n<!-- figures: bench -->\n<!-- end of figures -->\n' >bad.md ;;
    esac
    cp bad.md before.md
    if "$figures" --write bad.md bench table.md 2>/dev/null; then fail "a document with markers '$broken' was taken"; fi
    cmp -s bad.md before.md || fail "a refused document ($broken) was changed"
done
if "$figures" --write doc.md missing table.md 2>/dev/null; then fail "a table without markers was written"; fi
cmp -s doc.md want2.md || fail "a refused name changed the document"

cp "$source/tools/bench/README.md" bench.md && "$figures" --write bench.md bench table.md ||
    fail "tools/bench/README.md lacks the bench table's markers"
cp "$source/docs/online.md" online.md && "$figures" --write online.md online table.md ||
    fail "docs/online.md lacks the online table's markers"
cp "$source/docs/web.md" web.md && "$figures" --write web.md web table.md ||
    fail "docs/web.md lacks the web table's markers"
cp "$source/docs/testing.md" testing.md && "$figures" --write testing.md soak table.md ||
    fail "docs/testing.md lacks the soak table's markers"
cp "$source/tools/fuzz/README.md" fuzz.md && "$figures" --write fuzz.md fuzz table.md ||
    fail "tools/fuzz/README.md lacks the fuzz table's markers"
echo "the figures script writes only between its markers"
