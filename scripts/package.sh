#!/usr/bin/env bash
# Builds the Debian package with CPack and checks what it ships: lintian
# (no error, no warning), desktop-file-validate on the menu entry and
# appstreamcli validate on the AppStream metadata, both as installed by the
# package.  Installs what is missing first.
#   scripts/package.sh [BUILD_DIR]   default build-pkg, a Release build
#                                    without the tests; an existing build
#                                    folder (CI's build) is reused as it is,
#                                    but for its install prefix, which
#                                    becomes /usr (the package's)
# The package lands in BUILD_DIR; its path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-pkg}
scripts/install-deps.sh
flags=(-DCMAKE_INSTALL_PREFIX=/usr)
[ -f "$dir/CMakeCache.txt" ] || flags+=(-DCMAKE_BUILD_TYPE=Release -DFIGHTER_TESTS=OFF)
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/tavro-fighter_*.deb
(cd "$dir" && cpack -G DEB) >"$dir/cpack.log" 2>&1 || { cat "$dir/cpack.log"; exit 1; }
deb=$(ls "$dir"/tavro-fighter_*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Depends Installed-Size

# lintian says it would rather not run as root, and does; the rest of what it
# prints is findings.
echo "== lintian"
status=0
findings=$(lintian --fail-on error,warning --info "$deb" 2>&1) || status=$?
grep -v "running with root privileges" <<<"$findings" || true
[ "$status" -eq 0 ] || { echo "lintian found errors or warnings"; exit 1; }

shipped=$(mktemp -d)
trap 'rm -rf "$shipped"' EXIT
dpkg-deb -x "$deb" "$shipped"
echo "== desktop-file-validate, appstreamcli validate"
desktop-file-validate "$shipped"/usr/share/applications/*.desktop
# --no-net: the home page and the screenshot are not fetched.
appstreamcli validate --no-net "$shipped"/usr/share/metainfo/*.metainfo.xml
# Each icon is a picture of the size its folder names.
for icon in "$shipped"/usr/share/icons/hicolor/*/apps/tavro-fighter.png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    shown=$(identify -format "%wx%h" "$icon")
    [ "$shown" = "$size" ] || { echo "FAIL: $icon is $shown"; exit 1; }
done
echo "$deb"
