#!/usr/bin/env bash
# The game in a web page, tested in headless Chromium: builds the page
# (scripts/web.sh installs what is missing) and plays it with
# web/browserTest.js, and the versus page with web/versusTest.js.  Then
# writes the web folder for any host (scripts/web.sh --dist) and plays it from
# Python's plain http.server with web/distTest.js.  Screenshots land in
# build-web/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/web.sh --build
node web/browserTest.js build-web/web data build-web/artifacts
# The versus page: two players' keys at one keyboard.
node web/versusTest.js build-web/web build-web/artifacts
# Online play on the versus page: browser against browser over WebRTC, and
# browser against the desktop's versus program (from the desktop build)
# through the bridge.
[ -x build/versus ] || cmake --build build --target versus
node web/onlineTest.js build-web/web build/versus build-web/artifacts/online
# The web folder for any host, from a plain static server.
rm -rf build-web/dist
scripts/web.sh --dist build-web/dist
exec node web/distTest.js build-web/dist build-web/artifacts/dist
