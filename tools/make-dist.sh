#!/usr/bin/env bash
# Packages a game for players: tools/make-dist.sh [GAME_DIR] [NAME] (default: game, and the
# folder's name). Writes into dist/:
#
#   NAME-linux-x86_64.tar.gz  one folder NAME/ with ./play, the program (bin/), the game (game/),
#                             the IPA fonts and their licence (fonts/) and the libraries a fresh
#                             Debian or Ubuntu desktop lacks (lib/); saves go to game/save/.
#   NAME-web.zip              the web page, index.html at the root (as tools/make-web.sh makes it)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
game=$(cd "${1:-$root/game}" && pwd)
name=${2:-$(basename "$game")}
out=${DIST_OUT:-$root/dist}
objects=${DIST_OBJECTS:-$root/build-dist}
jobs=$(nproc 2>/dev/null || echo 2)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case "$name" in
  ''|*/*|.*) echo "make-dist.sh: '$name' cannot name a package; give NAME=..." >&2; exit 2 ;;
esac

cmake -S "$root" -B "$objects" -DCMAKE_BUILD_TYPE=Release -DTESSARC_TESTS=OFF >/dev/null
cmake --build "$objects" -j "$jobs" --target tessarc >/dev/null

# ---- The desktop package --------------------------------------------------------------------
folder=$work/$name
mkdir -p "$folder/bin" "$folder/lib" "$folder/fonts"
strip -o "$folder/bin/tessarc" "$objects/tessarc"
# The game as it is, without anybody's saves.
mkdir -p "$folder/game"
tar -C "$game" --exclude=./save -cf - . | tar -C "$folder/game" -xf -

# The libraries: everything the program, the SDL2 that the SDL 1.2 layer opens and SDL_mixer
# (opened at start-up) need, except what every desktop has: the C and C++ runtimes, X11 and
# Wayland, the graphics drivers' libraries, the sound servers' clients, D-Bus and systemd, GLib,
# fontconfig and freetype, and the compression and crypto libraries under them.
desktop='^(linux-vdso|ld-linux|libc|libm|libdl|libpthread|librt|libresolv|libutil|libstdc\+\+|libgcc_s|libX[a-zA-Z0-9-]*|libxcb[a-z0-9-]*|libxkbcommon[a-z-]*|libwayland-[a-z]+|libGL[A-Za-z]*|libEGL|libOpenGL|libgbm|libdrm|libasound|libpulse[a-z0-9.-]*|libdbus-1|libsystemd|libglib-2\.0|libgobject-2\.0|libgio-2\.0|libgmodule-2\.0|libfontconfig|libfreetype|libexpat|libz|libffi|libpcre2-8|libselinux|libgcrypt|libgpg-error|liblzma|libzstd|liblz4|libbz2|libcap|libmd|libbsd|libuuid|libmount|libblkid|libbrotli[a-z]*|libpng16)\.so'
libs=/usr/lib/x86_64-linux-gnu
needs() { ldd "$@" | awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }'; }
{
  needs "$objects/tessarc"
  needs "$libs/libSDL2-2.0.so.0" "$libs/libSDL_mixer-1.2.so.0" | grep -v '^\S*:$' || true
  echo "libSDL2-2.0.so.0 $libs/libSDL2-2.0.so.0"
  echo "libSDL_mixer-1.2.so.0 $libs/libSDL_mixer-1.2.so.0"
} | sort -u | while read -r soname path; do
  [[ "$soname" =~ $desktop ]] && continue
  cp -L "$path" "$folder/lib/$soname"
done
chmod 644 "$folder"/lib/*

for face in gothic/ipag mincho/ipam; do
  cp -L "/usr/share/fonts/opentype/ipafont-$face.ttf" "$folder/fonts/"
done
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$folder/fonts/IPA-LICENSE.txt"
cp "$root/tools/dist/play" "$folder/play"
chmod 755 "$folder/play" "$folder/bin/tessarc"
cp "$root/tools/dist/README.txt" "$folder/README.txt"

mkdir -p "$out"
tar -C "$work" --owner=0 --group=0 -czf "$out/$name-linux-x86_64.tar.gz" "$name"
echo "desktop package: $out/$name-linux-x86_64.tar.gz"

# ---- The web page ---------------------------------------------------------------------------
WEB_OUT=$work/web "$root/tools/make-web.sh" "$game" >/dev/null
rm -f "$out/$name-web.zip"
(cd "$work/web" && /usr/bin/python3 - "$out/$name-web.zip" <<'EOF'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    for top, dirs, files in os.walk('.'):
        dirs.sort()
        for f in sorted(files):
            path = os.path.join(top, f)[2:]
            z.write(path, path)
EOF
)
echo "web package: $out/$name-web.zip"
