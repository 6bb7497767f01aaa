#!/usr/bin/env bash
# The game in a web page, tested in headless Chromium: builds the page
# (scripts/web.sh installs what is missing) and plays it with
# web/browserTest.js.  Screenshots land in build-web/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web.sh --build
exec node web/browserTest.js build-web/web data build-web/artifacts
