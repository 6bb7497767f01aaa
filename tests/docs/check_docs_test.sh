#!/usr/bin/env bash
# The document check itself: it passes a sound set of documents and refuses
# a link to a missing file, a link to a missing heading, a README over its
# length, and a README whose two commands are missing, name no script, or
# are not what CI runs; a link inside a code block is not a link.
#   check_docs_test.sh CHECK_DOCS WORK_DIR
set -euo pipefail
check=$1 work=$2
rm -rf "$work" && mkdir -p "$work/docs"
fail() { echo "FAIL: $*" >&2; exit 1; }

sound() {
    mkdir -p "$work/scripts" "$work/.ci"
    printf '#!/bin/sh\n' >"$work/scripts/play.sh"
    printf '#!/bin/sh\n' >"$work/scripts/test.sh"
    chmod +x "$work/scripts/play.sh" "$work/scripts/test.sh"
    printf '#!/bin/sh\nexec scripts/test.sh\n' >"$work/.ci/run"
    printf '# Game\n\nSee [the guide](docs/guide.md#the-keys-and-moves), [it](docs/guide.md) and [here](#game).\n' >"$work/README.md"
    printf '\n## Two commands\n\nPlay:\n\n    scripts/play.sh\n\nTest:\n\n    scripts/test.sh\n\n## More\n\n    an example, not a command\n' >>"$work/README.md"
    printf "# Guide\n\n## The keys, and \`moves\`\n\nBack to [the README](../README.md).  [A site](https://example.org/x.md).\n\n\`\`\`\n[not a link](missing.md)\n\`\`\`\n" >"$work/docs/guide.md"
}

sound
"$check" --root "$work" >/dev/null || { "$check" --root "$work"; fail "sound documents were refused"; }

expect_fault() {
    local what=$1 pattern=$2 out
    if out=$("$check" --root "$work"); then fail "$what was not found"; fi
    grep -q -- "$pattern" <<<"$out" || fail "$what: expected '$pattern' in: $out"
    sound
}

printf '[gone](docs/gone.md)\n' >>"$work/README.md"
expect_fault "a link to a missing file" "README.md:18: link to docs/gone.md: no docs/gone.md"

printf 'And [this](../README.md#no-such-heading).\n' >>"$work/docs/guide.md"
expect_fault "a link to a missing heading" "no heading #no-such-heading in README.md"

for i in $(seq 200); do echo "line $i" >>"$work/README.md"; done
expect_fault "a README of 217 lines" "README.md: 217 lines"

sed -i 's|    scripts/play.sh||' "$work/README.md"
expect_fault "a README with one command" 'shows 1 commands, not 2'

sed -i 's|    scripts/play.sh|    scripts/start.sh|' "$work/README.md"
expect_fault "a command that names no script" "no executable scripts/start.sh"

printf '#!/bin/sh\nexec scripts/check.sh\n' >"$work/.ci/run"
expect_fault "a test command CI does not run" "does not run the README's test command scripts/test.sh"
echo "the document check catches broken links, a long README and wrong commands"
