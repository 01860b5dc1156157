#!/usr/bin/env bash
# Builds the web page into build/web/site/: index.html, vistrel.js, vistrel.wasm and the icons,
# a static folder that any web server serves (python3 -m http.server -d build/web/site).
# The picture libraries are compiled unchanged with Debian's Emscripten, installed if missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v emcc > /dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends emscripten
fi
# Emscripten's JavaScript tools need Debian's node-acorn, which a node from elsewhere does not
# look for in Debian's folder of modules.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

build="${VISTREL_WEB_BUILD:-build/web}"
emcmake cmake -S web -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
nice -n 10 cmake --build "$build" -j 2
echo "the web page is in $build/site"
