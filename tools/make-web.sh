#!/usr/bin/env bash
# Builds the web page of a game: tools/make-web.sh [GAME_DIR] (default: game).
#
# build-web/ then holds everything a web server needs: index.html (with the list of the game's
# packs in it), the engine (tessarc.js + tessarc.wasm, and tessarc-replay.js + .wasm for the
# page's ?replay= mode), the game's files in data/*.pack, the two IPA faces cut to the game's
# glyphs under fonts/ with their licence, and favicon.png.
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

rm -rf "$out"
mkdir -p "$out"
cp "$objects"/tessarc.js "$objects"/tessarc.wasm "$objects"/tessarc-replay.js \
   "$objects"/tessarc-replay.wasm "$out/"
# The page, the game's files in packs in the order it needs them, the faces cut to its glyphs,
# the pictures the browser side cannot read made readable (warnings name what cannot be carried).
/usr/bin/python3 "$root/tools/web_pack.py" --game "$game" --out "$out" --src "$root/src" \
  --page "$root/web/index.html"
echo "web page of $game in $out"
