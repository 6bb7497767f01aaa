#!/usr/bin/env bash
# Rewrites every C++ source of the project in house style (.clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --style=file -i
