#!/usr/bin/env bash
# Measures the game and writes the tables of figures the documents show, so
# that measuring again never means rewriting text.  Each table stands in its
# document between the lines
#   <!-- figures: NAME -->
#   <!-- end of figures -->
# and comes with the date, the command, the commit and the machine it was
# measured on; everything between the two lines is replaced.
#
#   tools/bench/figures.sh [--build DIR] [--passes N] [--soak-passes N]
#                          [--fuzz-build DIR] [--fuzz-seconds N] [bench] [online] [soak] [web] [fuzz]
#       bench   `bench N` on both SDL 1.2, side by side, and what a rollback
#               costs                                    -> tools/bench/README.md
#               (under xvfb-run when there is no DISPLAY, so that the frames
#               are also sent to an X11 window)
#       online  `bench --online`, a match with rollback  -> docs/online.md
#       soak    `soak N 7`, the long run (1,000,000 passes, or --soak-passes)
#                                                        -> docs/testing.md
#       web     the browser test's start-up and download, and key to screen
#               in the browser, on build-web/web (`scripts/web.sh --build`
#               first)                                   -> docs/web.md
#       fuzz    every fuzz target through `tools/fuzz/run.sh`, 20 seconds
#               each (or --fuzz-seconds), on build-fuzz (or --fuzz-build;
#               built as tools/fuzz/README.md says)      -> tools/fuzz/README.md
#       (bench and online when none is named; from the repository root)
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

build=build passes=30000 soakPasses=1000000 fuzzBuild=build-fuzz fuzzSeconds=20 what=()
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift ;;
        --passes) passes=$2; shift ;;
        --soak-passes) soakPasses=$2; shift ;;
        --fuzz-build) fuzzBuild=$2; shift ;;
        --fuzz-seconds) fuzzSeconds=$2; shift ;;
        bench | online | soak | web | fuzz) what+=("$1") ;;
        *) echo "usage: $0 [--build DIR] [--passes N] [--soak-passes N] [--fuzz-build DIR] [--fuzz-seconds N]" \
                "[bench] [online] [soak] [web] [fuzz]" >&2
           exit 2 ;;
    esac
    shift
done
[ ${#what[@]} -gt 0 ] || what=(bench online)
cd "$(dirname "$0")/../.."
bench=$build/tools/bench/bench
if [[ " ${what[*]} " == *" bench "* || " ${what[*]} " == *" online "* ]] && [ ! -x "$bench" ]; then
    echo "no $bench: cmake --build $build --target bench" >&2
    exit 1
fi

# One line naming when, with what and where the figures were measured.
provenance() {
    local command=$1 cache=${2:-$build} cpu os cores load type commit virt
    cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
    os=$(. /etc/os-release && echo "$PRETTY_NAME")
    cores=$(nproc)
    load=$(cut -d' ' -f1 /proc/loadavg)
    type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$cache/CMakeCache.txt")
    commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
    git diff --quiet HEAD -- '*.cpp' '*.h' '*CMakeLists.txt' '*.cmake' 2>/dev/null || commit="$commit with changes"
    virt=$(systemd-detect-virt 2>/dev/null || true)
    [ -z "$virt" ] || [ "$virt" = none ] || cpu="$cpu, virtual ($virt)"
    echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`$command\` (${type:-unknown} build," \
        "commit $commit) on $cores cores, $cpu, $os; load average $load at the start."
}

# The browser test's and keyToScreen.js's lines as one table.
web_table() {
    awk '
    /^start-up, ms after navigation:/ {
        sub(/^start-up, ms after navigation: /, "")
        n = split($0, part, /, /)
        for (i = 1; i <= n; i++) {
            value = part[i]; sub(/.* /, "", value)
            name = part[i]; sub(/ [^ ]*$/, "", name)
            at[name] = value " ms"
        }
    }
    /^downloaded, gzip: / { files = $0; sub(/^downloaded, gzip: /, "", files); gsub(/\//, "", files) }
    /download within 1.5 MB gzipped/ { total = $0; sub(/.*\(/, "", total); sub(/\).*/, "", total) }
    /^first frame (within|over) the 1.5 s budget/ { verdict = $3 }
    /^browser key to screen/ {
        key = $0
        sub(/.*: median /, "median ", key)
        presses = $0
        sub(/^browser key to screen \(/, "", presses); sub(/;.*/, "", presses)
        key = key " (" presses ")"
    }
    END {
        print "| figure | measured (start-up: after navigation) |"
        print "|---|---|"
        printf "| download, gzip-compressed (budget 1.5 MB) | %s: %s |\n", total, files
        printf "| the page'"'"'s script runs | %s |\n", at["page script"]
        printf "| `fighter.js`, `fighter.wasm`, `fighter.data` in | %s, %s, %s |\n", at["fighter.js"], at["fighter.wasm"], at["fighter.data"]
        printf "| the runtime ready (WebAssembly compiled, data unpacked) | %s |\n", at["runtime ready"]
        printf "| the game'"'"'s own start-up done | %s |\n", at["game started"]
        printf "| the first frame (budget 1.5 s) | %s (%s the budget) |\n", at["first frame"], verdict
        if (key != "") printf "| a key press to the punch on screen | %s |\n", key
    }' "$@"
}

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for w in "${what[@]}"; do
    case $w in
    bench)
        echo "running bench $passes ..."
        window=()
        if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
            window=(xvfb-run -a -s "-screen 0 1024x768x24")
        fi
        note=$(provenance "${window[*]:+${window[0]} }bench $passes")
        "${window[@]}" "$bench" "$passes" | tee "$out/bench.txt"
        {
            echo
            echo "$note"
            echo
            # Both tables: the rows side by side, then where a pass goes.
            sed -n '/^== side by side/,$p' "$out/bench.txt" | grep -E '^(\||$)' | sed 's/  */ /g' | cat -s
            echo
            # What the keyed frames' runs cost, the same on both libraries.
            runs=$(sed -n 's/^opaque runs: //p' "$out/bench.txt" | head -1)
            [ -z "$runs" ] || { echo "The keyed frames' opaque runs: $runs."; echo; }
            # What online play's rollback costs, on each library (the target:
            # an 8-frame rollback at the particle cap within 2 ms).
            awk '
            /^== / { library = $0; sub(/^== /, "", library); sub(/ [0-9.]+$/, "", library) }
            /^rollback, / {
                split($0, p, /\(|\): state |, save |, restore |, undrawn pass |, 8-frame rollback | \(/)
                if (!rows++) {
                    print "| online rollback | saved state | save | restore | an undrawn pass | an 8-frame rollback (restore, 8 saves, 128 passes) |"
                    print "|---|---|---|---|---|---|"
                }
                printf "| %s, %s | %s | %s | %s | %s | %s |\n", library, p[2], p[3], p[4], p[5], p[6], p[7]
            }
            END { if (rows) print "" }' "$out/bench.txt"
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
    soak)
        soak=$build/tools/soak/soak
        [ -x "$soak" ] || { echo "no $soak: cmake --build $build --target soak" >&2; exit 1; }
        every=$((soakPasses / 10 > 0 ? soakPasses / 10 : 1))
        echo "running soak $soakPasses 7 $every ..."
        note=$(provenance "soak $soakPasses 7 $every")
        "$soak" "$soakPasses" 7 "$every" | tee "$out/soak.txt"
        {
            echo
            echo "$note"
            echo
            awk '
            function mb(bytes) { return sprintf("%.1f MB", bytes / 1048576) }
            /^soak: pass [0-9]+,/ {
                for (i = 1; i <= NF; i++) {
                    if ($i == "heap") h = $(i + 1)
                    if ($i == "resident") r = $(i + 1)
                }
                if (!seen || h < hmin) hmin = h
                if (!seen || h > hmax) hmax = h
                if (!seen || r < rmin) rmin = r
                if (!seen || r > rmax) rmax = r
                seen = 1
            }
            /^soak: [0-9]+ passes, [0-9]+ ms of game time/ { passes = $2; minutes = $4 / 60000 }
            /^soak: at most [0-9]+ live particles/ { most = $4 }
            /^soak: heap after the warm-up/ { warm = $6; end = $11 }
            END {
                print "| passes | game time | most live particles | heap after the warm-up | heap at the end | heap at the reports | resident memory at the reports |"
                print "|---|---|---|---|---|---|---|"
                printf "| %s | %.1f minutes | %s | %s | %s | %s to %s | %.1f to %.1f MB |\n", passes, minutes, most,
                    mb(warm), mb(end), mb(hmin), mb(hmax), rmin / 1024, rmax / 1024
            }' "$out/soak.txt"
            echo
        } >"$out/soak.md"
        grep -q '^| [0-9]' "$out/soak.md" || { echo "the soak printed no figures" >&2; exit 1; }
        write_table docs/testing.md soak "$out/soak.md"
        echo "wrote the table in docs/testing.md"
        ;;
    web)
        [ -f build-web/web/index.html ] || { echo "no build-web/web: scripts/web.sh --build" >&2; exit 1; }
        echo "running the browser test and key to screen on build-web/web ..."
        note=$(provenance "node web/browserTest.js; node web/keyToScreen.js" build-web)
        note="$note  $(chromium --version 2>/dev/null | head -1), headless."
        node web/browserTest.js build-web/web data build-web/artifacts | tee "$out/browser.txt"
        node web/keyToScreen.js build-web/web | tee "$out/keys.txt"
        {
            echo
            echo "$note"
            echo
            web_table "$out/browser.txt" "$out/keys.txt"
            echo
        } >"$out/web.md"
        grep -q '^| the first frame (budget 1.5 s) | [0-9]' "$out/web.md" ||
            { echo "the browser test printed no start-up" >&2; exit 1; }
        write_table docs/web.md web "$out/web.md"
        echo "wrote the table in docs/web.md"
        ;;
    fuzz)
        targets=$(sed -n 's/^targets=\${\*:-"\(.*\)"}$/\1/p' tools/fuzz/run.sh)
        [ -n "$targets" ] || { echo "no list of targets in tools/fuzz/run.sh" >&2; exit 1; }
        for t in $targets; do
            [ -x "$fuzzBuild/tools/fuzz/fuzz_$t" ] ||
                { echo "no $fuzzBuild/tools/fuzz/fuzz_$t: build it as tools/fuzz/README.md says" >&2; exit 1; }
        done
        echo "running tools/fuzz/run.sh $fuzzBuild $fuzzSeconds ..."
        note=$(provenance "tools/fuzz/run.sh $fuzzBuild $fuzzSeconds" "$fuzzBuild")
        compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$fuzzBuild/CMakeCache.txt")
        note="$note  $("${compiler:-clang++}" --version 2>/dev/null | head -1); targets one after another, each starting from"
        note="$note its seeds and what earlier runs in $fuzzBuild kept."
        # run.sh fails when a target reports something: that is a figure too.
        tools/fuzz/run.sh "$fuzzBuild" "$fuzzSeconds" | tee "$out/fuzz.txt" || true
        {
            echo
            echo "$note"
            echo
            echo "| target | seconds | executions | result |"
            echo "|---|---|---|---|"
            for t in $targets; do
                line=$(grep "^$t: exit " "$out/fuzz.txt" || true)
                log=$fuzzBuild/fuzz-out/$t/log
                rc=$(echo "$line" | sed -n 's/^[^:]*: exit \([0-9]*\) .*/\1/p')
                took=$(echo "$line" | sed -n 's/.* after \([0-9]*\) s,.*/\1/p')
                # libFuzzer's last progress line ("#1234 ...") or its "Done 1234 runs".
                runs=$(echo "$line" | sed -n 's/.*Done \([0-9]*\) runs.*/\1/p')
                [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$log" 2>/dev/null | tail -1 | tr -d '#' || true)
                runs=$(echo "${runs:-0}" | sed ':a;s/\B[0-9]\{3\}\>/,&/;ta')
                if [ -z "$rc" ]; then
                    result="did not run"
                elif [ "$rc" -eq 0 ]; then
                    result=clean
                else
                    # "SUMMARY: AddressSanitizer: heap-buffer-overflow ...", "SUMMARY: libFuzzer: timeout"
                    kind=$(awk '/^SUMMARY: / { print ($0 ~ / leaked / ? $2 " leak" : $2 " " $3); exit }' "$log" 2>/dev/null || true)
                    unit=$(sed -n 's/.*Test unit written to \(.*\)/\1/p' "$log" 2>/dev/null | tail -1 || true)
                    if [ -n "$kind$unit" ]; then
                        result="**finding**${kind:+: $kind}${unit:+, kept as \`${unit##*/}\`}"
                    else
                        result="**failed**: $(tail -1 "$log" 2>/dev/null | tr '|' ' ' || true)"
                    fi
                fi
                echo "| \`fuzz_$t\` | ${took:-—} | ${runs} | $result |"
            done
            echo
        } >"$out/fuzz.md"
        grep -q '^| `fuzz_[A-Za-z]*` | [0-9]' "$out/fuzz.md" || { echo "run.sh ran no target" >&2; exit 1; }
        write_table tools/fuzz/README.md fuzz "$out/fuzz.md"
        echo "wrote the table in tools/fuzz/README.md"
        ;;
    esac
done
