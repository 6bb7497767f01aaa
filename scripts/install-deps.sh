#!/usr/bin/env bash
# Installs the Debian packages the game, its tools and its tests need, when
# any is missing.  Runs apt-get as root (through sudo when not root).
#   scripts/install-deps.sh               the game's, the tools' and the tests'
#   scripts/install-deps.sh PACKAGE...    these instead (scripts/web.sh's)
set -euo pipefail
packages=(build-essential cmake pkg-config libsdl1.2-dev libsdl1.2-compat libsdl-mixer1.2-dev libenet-dev libgtest-dev
          xvfb xdotool imagemagick x11-utils clang-format
          lintian desktop-file-utils appstream python3)
[ $# -eq 0 ] || packages=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
