#!/usr/bin/env bash
# Builds the picture libraries (raster/, scene/) for 64-bit Arm, to keep them free of anything
# one processor alone has. Installs Debian's cross compiler and the arm64 libpng if missing.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v aarch64-linux-gnu-g++ > /dev/null ||
   ! dpkg-query -W -f='${Status}' libpng-dev:arm64 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo dpkg --add-architecture arm64
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends g++-aarch64-linux-gnu libpng-dev:arm64 zlib1g-dev:arm64
fi

cmake -S . -B build/aarch64 -DCMAKE_BUILD_TYPE=Release -DVISTREL_PICTURE_ONLY=ON \
      -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
cmake --build build/aarch64 -j "$(nproc)"
file build/aarch64/scene/libvistrel_scene.a | grep -q 'current ar archive'
aarch64-linux-gnu-objdump -f build/aarch64/scene/libvistrel_scene.a | grep -m1 -q 'aarch64'
echo "raster/ and scene/ build for aarch64"
