#!/usr/bin/env bash
# Installs whatever the engine needs to build, test and play that is not on the machine yet.
# Safe to run again and again: when everything is present it only checks and returns.
#
#   tools/install-deps.sh        what the desktop build, its tests and benchmarks need
#   tools/install-deps.sh web    also the web build and its browser test (emscripten, Chromium)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libsdl-mixer1.2-dev libsdl-ttf2.0-dev
  libfontconfig-dev nlohmann-json3-dev libgraphviz-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libgtest-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xdotool libx11-dev x11-utils x11-apps openbox
  python3-numpy python3-pil vorbis-tools
)
# Large, and needed only by `make web` and `make web-test`: a plain `make` stays quick.
if [ "${1:-}" = web ]; then
  packages+=(emscripten chromium chromium-driver python3-selenium python3-fonttools python3-brotli)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
