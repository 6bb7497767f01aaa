#!/usr/bin/env bash
# The game in a web page: installs what is missing (Debian's emscripten and
# chromium, puppeteer-core from npm into web/node_modules), builds the page
# into build-web/web/ and serves it on http://localhost:8000, with online
# play's signaling server on ws://localhost:8001 (Ctrl+C stops both).
#   scripts/web.sh            install, build, serve
#   scripts/web.sh --build    install and build only
#   scripts/web.sh --dist DIR install, build, and write the pages with their
#                             files into DIR, one folder that any static web
#                             server serves as it is (docs/web.md)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-serve}
case "$mode" in
serve | --build) ;;
--dist)
    [ -n "${2:-}" ] || { echo "usage: scripts/web.sh [--build | --dist DIR]" >&2; exit 2; }
    dist=$2
    ;;
*)
    echo "usage: scripts/web.sh [--build | --dist DIR]" >&2
    exit 2
    ;;
esac

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
if [ "$mode" = --dist ]; then
    # Every page of the web build: the game's, and the versus page once it
    # is built.
    "${emcc_env[@]}" cmake --build build-web -j"$(nproc)"
else
    "${emcc_env[@]}" cmake --build build-web -j"$(nproc)" --target fighter-web
fi

[ "$mode" = --build ] && exit 0
if [ "$mode" = --dist ]; then
    # The pages and what they load (scripts, WebAssembly, preloaded data),
    # and the screenshot a software centre shows of the game (the AppStream
    # metadata points at screenshot.png beside the pages).  Named one by
    # one: an older build folder may hold pages that are no longer built.
    mkdir -p "$dist"
    files=()
    for file in index.html versus.html online.js fighter.js fighter.wasm fighter.data; do
        files+=("build-web/web/$file")
    done
    cp "${files[@]}" docs/screenshot.png "$dist"/
    echo "The web folder is $dist: ${files[*]##*/} screenshot.png"
    exit 0
fi
# The signaling server of online play, beside the page's server, on 8001.
node web/signal.js 8001 &
signal=$!
trap 'kill $signal 2>/dev/null' EXIT
node web/serve.js build-web/web 8000
