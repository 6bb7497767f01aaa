#!/usr/bin/env bash
# Checks the include graph of the game's sources: every header is included by
# its path from src/ ("sprite/CSprite.h"), no file includes a header from a
# layer above its own (the order is src/LAYERS, lowest first), and no files
# include each other in a circle.  Prints one line per problem, compiler
# style, and exits 1 when there is any.
#
#   scripts/check-layers.sh [SRC_FOLDER]      (default: src next to scripts/)
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
src=${src%/}
[ -f "$src/LAYERS" ] || { echo "$src/LAYERS: missing: the layer order is written there" >&2; exit 2; }

declare -A rank
n=0
while read -r layer; do
    case "$layer" in ''|'#'*) continue ;; esac
    rank[$layer]=$n
    n=$((n + 1))
done <"$src/LAYERS"

bad=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

for folder in "$src"/*/; do
    folder=$(basename "$folder")
    if [ -z "${rank[$folder]+x}" ]; then
        echo "$src/$folder: folder is not listed in $src/LAYERS"
        bad=1
    fi
done

while IFS= read -r file; do
    rel=${file#"$src"/}
    own=${rel%%/*}
    echo "$rel $rel" >>"$edges"
    while IFS=: read -r line header; do
        if [[ "$header" != */* ]]; then
            echo "$file:$line: \"$header\" must be included by its path from src/"
            bad=1
            continue
        fi
        layer=${header%%/*}
        if [ -z "${rank[$layer]+x}" ]; then
            echo "$file:$line: \"$header\" is not in a layer of $src/LAYERS"
            bad=1
        elif [ -n "${rank[$own]+x}" ] && [ "${rank[$layer]}" -gt "${rank[$own]}" ]; then
            echo "$file:$line: \"$header\" comes from layer $layer, above this file's layer $own"
            bad=1
        fi
        echo "$rel $header" >>"$edges"
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
done < <(find "$src" -mindepth 2 -name '*.h' -o -mindepth 2 -name '*.cpp' | sort)

# tsort names every file that sits on a circle of includes.
if ! tsort "$edges" >/dev/null 2>"$edges.err"; then
    echo "$src: files include each other in a circle:"
    grep -v 'input contains a loop' "$edges.err" | sed 's/^tsort: /  /'
    bad=1
fi
rm -f "$edges.err"
exit $bad
