#!/usr/bin/env bash
# Builds the web page of a game: tools/make-web.sh [GAME_DIR] (default: game).
#
# build-web/ then holds everything a web server needs: index.html, the engine (tessarc.js +
# tessarc.wasm, and tessarc-replay.js + .wasm for the page's ?replay= mode), the game's files
# packed into game.data (with its loader game.js) and the two IPA fonts under fonts/.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
game=$(cd "${1:-$root/game}" && pwd)
objects=${WEB_OBJECTS:-$root/build-web-obj}
out=${WEB_OUT:-$root/build-web}
jobs=$(nproc 2>/dev/null || echo 2)

# Debian's emscripten finds its JavaScript helpers (acorn and the like) there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Runs a chatty step quietly; its output is shown only when it fails.
quietly() { "$@" >"$log" 2>&1 || { cat "$log" >&2; return 1; }; }
quietly emcmake cmake -S "$root" -B "$objects" -DCMAKE_BUILD_TYPE=MinSizeRel -DTESSARC_TESTS=OFF
cmake --build "$objects" -j "$jobs" --target tessarc tessarc-replay

packager=$(dirname "$(readlink -f "$(command -v emcc)")")/tools/file_packager.py
[ -f "$packager" ] || packager=/usr/share/emscripten/tools/file_packager.py

rm -rf "$out"
mkdir -p "$out/fonts"
cp "$root/web/index.html" "$out/"
cp "$objects"/tessarc.js "$objects"/tessarc.wasm "$objects"/tessarc-replay.js \
   "$objects"/tessarc-replay.wasm "$out/"
# The game's folder becomes the page's root folder; saves are the player's and tests the
# author's: neither is shipped.
# Pictures and sounds are decoded when the game loads them.
(cd "$out" && quietly python3 "$packager" game.data --preload "$game@/" \
   --exclude "$game/save" --exclude "$game/tests" --js-output=game.js --no-node)
for face in gothic/ipag mincho/ipam; do
  cp "/usr/share/fonts/opentype/ipafont-$face.ttf" "$out/fonts/"
done
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$out/fonts/IPA-LICENSE.txt"
echo "web page of $game in $out"
