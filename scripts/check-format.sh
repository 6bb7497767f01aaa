#!/usr/bin/env bash
# Fails, naming the files, when clang-format (house style: .clang-format)
# would change any C++ source of the project.  scripts/format.sh fixes them.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=0
while IFS= read -r f; do
    if ! clang-format --style=file "$f" | cmp -s - "$f"; then
        echo "$f: not in house style (run scripts/format.sh)"
        bad=1
    fi
done < <(git ls-files '*.cpp' '*.h')
exit $bad
