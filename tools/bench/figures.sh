#!/usr/bin/env bash
# Measures the game and writes the tables of figures the documents show, so
# that measuring again never means rewriting text.  Each table stands in its
# document between the lines
#   <!-- figures: NAME -->
#   <!-- end of figures -->
# and comes with the date, the command, the commit and the machine it was
# measured on; everything between the two lines is replaced.
#
#   tools/bench/figures.sh [--build DIR] [--passes N] [bench] [online]
#       bench   `bench N` on both SDL 1.2, side by side  -> tools/bench/README.md
#       online  `bench --online`, a match with rollback  -> docs/online.md
#       (both when none is named; from the repository root)
#   tools/bench/figures.sh --write DOC NAME FILE
#       only put FILE's lines between DOC's markers for NAME
set -euo pipefail

# Replaces what stands between DOC's markers for NAME with FILE's lines.
# Fails, leaving DOC as it was, unless the markers are there once each and
# in order.
write_table() {
    local doc=$1 name=$2 file=$3 tmp
    tmp=$(mktemp "$doc.XXXXXX")
    if ! awk -v begin="<!-- figures: $name -->" -v end="<!-- end of figures -->" -v file="$file" '
        $0 == begin {
            if (opened) { bad = "twice"; exit 1 }
            opened = 1; inside = 1; print
            while ((getline line < file) > 0) print line
            next
        }
        inside && $0 == end { inside = 0; closed = 1; print; next }
        inside { next }
        { print }
        END {
            if (bad != "" || !opened || !closed) {
                printf "no single \"%s\" ... \"%s\" in %s\n", begin, end, FILENAME > "/dev/stderr"
                exit 1
            }
        }' "$doc" >"$tmp"; then
        rm -f "$tmp"
        return 1
    fi
    cat "$tmp" >"$doc"
    rm -f "$tmp"
}

if [ "${1:-}" = --write ]; then
    [ $# -eq 4 ] || { echo "usage: $0 --write DOC NAME FILE" >&2; exit 2; }
    write_table "$2" "$3" "$4"
    exit
fi

build=build passes=30000 what=()
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift ;;
        --passes) passes=$2; shift ;;
        bench | online) what+=("$1") ;;
        *) echo "usage: $0 [--build DIR] [--passes N] [bench] [online]" >&2; exit 2 ;;
    esac
    shift
done
[ ${#what[@]} -gt 0 ] || what=(bench online)
cd "$(dirname "$0")/../.."
bench=$build/tools/bench/bench
[ -x "$bench" ] || { echo "no $bench: cmake --build $build --target bench" >&2; exit 1; }

# One line naming when, with what and where the figures were measured.
provenance() {
    local command=$1 cpu os cores load type commit virt
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
    os=$(. /etc/os-release && echo "$PRETTY_NAME")
    cores=$(nproc)
    load=$(cut -d' ' -f1 /proc/loadavg)
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
    commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
    git diff --quiet HEAD -- '*.cpp' '*.h' '*CMakeLists.txt' '*.cmake' 2>/dev/null || commit="$commit with changes"
    virt=$(systemd-detect-virt 2>/dev/null || true)
    [ -z "$virt" ] || [ "$virt" = none ] || cpu="$cpu, virtual ($virt)"
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`$command\` (${type:-unknown} build," \
        "commit $commit) on $cores cores, $cpu, $os; load average $load at the start."
}

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for w in "${what[@]}"; do
    case $w in
    bench)
        echo "running bench $passes ..."
        note=$(provenance "bench $passes")
        "$bench" "$passes" | tee "$out/bench.txt"
        {
            echo
            echo "$note"
            echo
            sed -n '/^== side by side/,$p' "$out/bench.txt" | grep '^|' | sed 's/  */ /g'
            echo
        } >"$out/bench.md"
        [ "$(grep -c '^|' "$out/bench.md")" -ge 3 ] || { echo "bench printed no table" >&2; exit 1; }
        write_table tools/bench/README.md bench "$out/bench.md"
        echo "wrote the table in tools/bench/README.md"
        ;;
    online)
        echo "running bench --online ..."
        note=$(provenance "bench --online")
        "$bench" --online | tee "$out/online.txt"
        {
            echo
            echo "$note"
            echo
            awk -f - "$out/online.txt" <<'AWK'
# The two matches of `bench --online`, one column each.
/^online match/ {
    n++
    head[n] = $0 ~ /at the particle cap/ ? "at the particle cap" : "no particles added"
    if (match($0, /\(([0-9.]+) particles on average\)/)) {
        s = substr($0, RSTART + 1, RLENGTH - 2); sub(/ particles on average/, "", s)
        head[n] = head[n] " (" s " live on average)"
    }
}
/^  both sides/ || /^  THE SIDES/ {
    agree[n] = $0 ~ /both sides agree/ ? "yes" : "**no**"
    for (i = 1; i <= NF; i++) {
        if ($(i + 1) == "a" && $(i + 2) == "second,") rate[n] = $i " a second"
        if ($i == "longest" && $(i + 2) ~ /^frames/) longest[n] = $(i + 1) " frames"
        if ($(i + 1) == "steps" && $(i + 2) == "waited") waited[n] = $i
    }
}
/^  rollback cost a frame/ { split($0, p, /mean |, 99% under |, longest /); rmean[n] = p[2]; r99[n] = p[3]; rmax[n] = p[4] }
/^  a whole step/ { split($0, p, /mean |, 99% under |, longest /); smean[n] = p[2]; s99[n] = p[3]; smax[n] = p[4] }
function row(what, a) { printf "| %s | %s | %s |\n", what, a[1], a[2] }
END {
    printf "| 160 ms round trip, 1800 frames | %s | %s |\n", head[1], head[2]
    print "|---|---|---|"
    row("both sides agree", agree)
    row("rollbacks", rate)
    row("longest rollback", longest)
    row("steps waited (0: full speed)", waited)
    row("rollback cost a frame, mean", rmean)
    row("rollback cost, 99% of frames under", r99)
    row("rollback cost, worst frame", rmax)
    row("a whole step, mean", smean)
    row("a whole step, 99% of frames under", s99)
    row("a whole step, worst frame", smax)
}
AWK
            echo
        } >"$out/online.md"
        grep -q '^| rollbacks | [0-9]' "$out/online.md" || { echo "bench --online printed no match" >&2; exit 1; }
        write_table docs/online.md online "$out/online.md"
        echo "wrote the table in docs/online.md"
        ;;
    esac
done
