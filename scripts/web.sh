#!/usr/bin/env bash
# The game in a web page: installs what is missing (Debian's emscripten and
# chromium, puppeteer-core from npm into web/node_modules), builds the page
# into build-web/web/ and serves it on http://localhost:8000, with online
# play's signaling server on ws://localhost:8001 (Ctrl+C stops both).
#   scripts/web.sh            install, build, serve
#   scripts/web.sh --build    install and build only
set -euo pipefail
cd "$(dirname "$0")/.."

# npm may come from elsewhere than Debian: any npm on the path will do.
packages=(emscripten chromium cmake)
command -v npm >/dev/null || packages+=(npm)
scripts/install-deps.sh "${packages[@]}"
# The browser test drives Chromium with puppeteer-core, the version pinned
# in web/package-lock.json; it never downloads a browser of its own.
# Online play needs ws (the signaling server) and werift (the desktop bridge).
if [ ! -d web/node_modules/puppeteer-core ] || [ ! -d web/node_modules/ws ] ||
    [ ! -d web/node_modules/werift ]; then
    (cd web && npm ci --no-audit --no-fund)
fi

# Debian's emcc finds its JavaScript modules in the shared nodejs folder, and
# its compiler scripts clash with the fetch that newer nodes bring.
export NODE_PATH=/usr/share/nodejs
emcc_env=(env NODE_OPTIONS=--no-experimental-fetch)
"${emcc_env[@]}" emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
"${emcc_env[@]}" cmake --build build-web -j"$(nproc)" --target fighter-web net-test-web

[ "${1:-}" = "--build" ] && exit 0
# The signaling server of online play, beside the page's server, on 8001.
node web/signal.js 8001 &
signal=$!
trap 'kill $signal 2>/dev/null' EXIT
node web/serve.js build-web/web 8000
