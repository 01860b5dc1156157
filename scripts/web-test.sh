#!/usr/bin/env bash
# Builds the web page and runs its tests in headless Chromium, driven through the DevTools
# protocol, against the pictures of vistrel-render. With --bench, prints the page's speed and
# size figures instead. Installs Chromium and the client's Python modules if missing.
#
# The render tool is VISTREL_RENDER, else the one of the test build (build/test), else one
# built here in build/web-native.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(chromium python3-websocket python3-pil)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

scripts/web-build.sh

native() {
  cmake -S . -B build/web-native -DCMAKE_BUILD_TYPE=Release -DVISTREL_TESTS=OFF > /dev/null
  nice -n 10 cmake --build build/web-native -j 2 --target "$1"
}
render="${VISTREL_RENDER:-build/test/tools/vistrel-render/vistrel-render}"
if [ ! -x "$render" ]; then
  native vistrel-render
  render=build/web-native/tools/vistrel-render/vistrel-render
fi
export VISTREL_WEB_SITE=build/web/site VISTREL_RENDER="$render"

# Debian's python3 has the Debian modules, whatever python3 comes first on the path.
if [ "${1:-}" = "--bench" ]; then
  native scene_bench
  VISTREL_SCENE_BENCH=build/web-native/bench/scene_bench exec /usr/bin/python3 tests/web/bench_page.py
fi
/usr/bin/python3 tests/web/run.py
