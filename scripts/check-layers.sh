#!/usr/bin/env bash
# Checks the include graph of the game's sources: every header is included by
# its path from src/ ("sprite/CSprite.h"), no file includes a header from a
# layer above its own (the order is src/LAYERS, lowest first), and no files
# include each other in a circle.  Then, where the folder beside src/ holds
# harness/, tools/ and tests/, their homes: tools -> harness -> src and
# tests -> harness -> src, never tools <-> tests, by include, by a source file
# compiled from the other home or by a library of the other home linked.
# Prints one line per problem, compiler style, and exits 1 when there is any.
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

# The homes beside src/.  Which home a file may take code from: its own,
# harness/ (not for harness itself: it is below both) and src/.
root=$(dirname "$src")
homes=(harness tools tests)
for home in "${homes[@]}"; do [ -d "$root/$home" ] || exit $bad; done
may_use() { # may_use FROM TO
    [ "$1" = "$2" ] || [ "$2" = src ] || { [ "$2" = harness ] && [ "$1" != harness ]; }
}

# Every header of the homes by its name, for includes by name alone (the
# build finds them through each library's include folder).
declare -A named
while IFS= read -r header; do
    named[${header##*/}]+="$header "
done < <(cd "$root" && find "${homes[@]}" -name '*.h' | sort)

while IFS= read -r rel; do
    own=${rel%%/*}
    while IFS=: read -r line header; do
        first=${header%%/*}
        if [[ "$header" == */* ]] && [ -n "${rank[$first]+x}" ] && [ -f "$src/$header" ]; then
            continue # the game's own headers
        fi
        candidates=""
        if [ -f "$root/${rel%/*}/$header" ]; then
            candidates=${rel%/*}/$header
            if [[ "$header" == *..* ]]; then
                candidates=$(realpath -m --relative-to="$root" "$root/$candidates")
            fi
        elif [[ "$header" == */* ]] && [ -f "$root/$header" ]; then
            candidates=$header
        else
            candidates=${named[${header##*/}]:-}
        fi
        [ -n "$candidates" ] || continue # not in a home: a system or generated header
        ok=0
        for candidate in $candidates; do
            may_use "$own" "${candidate%%/*}" && ok=1
        done
        if [ $ok = 0 ]; then
            set -- $candidates
            echo "$root/$rel:$line: \"$header\" is in ${1%%/*}/, which $own/ may not include (tools and tests share only harness/ and src/)"
            bad=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$rel" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
done < <(cd "$root" && find "${homes[@]}" -name '*.h' -o -name '*.cpp' | sort)

# The build files: no source file of another home compiled, no library of
# another home linked.  sourcesNamed FILE prints "line:text" for the lines of
# the commands that name sources (not comments, not a test's arguments).
sourcesNamed() {
    awk '/^[[:space:]]*#/ { next }
         match($0, /^[[:space:]]*[A-Za-z_]+[[:space:]]*\(/) {
             command = substr($0, RSTART, RLENGTH); gsub(/[[:space:](]/, "", command) }
         command ~ /^(add_executable|add_library|target_sources|file|set|list)$/ { print NR ":" $0 }' "$1"
}
declare -A library
while IFS=: read -r file name; do
    library[$name]=${file%%/*}
done < <(cd "$root" && grep -o 'add_library([A-Za-z0-9_]*' -r "${homes[@]}" \
             --include=CMakeLists.txt --include='*.cmake' | sed 's/add_library(//' || true)
while IFS= read -r rel; do
    own=${rel%%/*}
    for home in "${homes[@]}"; do
        may_use "$own" "$home" && continue
        while IFS=: read -r line text; do
            echo "$root/$rel:$line: compiles a source file of $home/, which $own/ may not use"
            bad=1
        done < <(sourcesNamed "$root/$rel" | grep "\b$home/[^ )\"]*\.\(cpp\|h\)\b" || true)
    done
    for name in "${!library[@]}"; do
        may_use "$own" "${library[$name]}" && continue
        while IFS=: read -r line text; do
            echo "$root/$rel:$line: links $name, a library of ${library[$name]}/, which $own/ may not use"
            bad=1
        done < <(grep -nw -- "$name" "$root/$rel" | grep -v '^[0-9]*:[[:space:]]*#' || true)
    done
done < <(cd "$root" && find "${homes[@]}" -name CMakeLists.txt -o -name '*.cmake' | sort)
exit $bad
