#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Vistrel need, if any are
# missing. Needs root (or sudo) only when something has to be installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libpng-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev libglib2.0-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n qt6-wayland
  xvfb xauth fonts-wqy-microhei
  dbus-daemon python3-dbus python3-gi gsettings-desktop-schemas python3-dbusmock libglib2.0-bin
  openbox dbus at-spi2-core python3-pyatspi sway grim
  libxcb1-dev libxml2-utils
  desktop-file-utils appstream man-db groff dpkg-dev file lintian
  clang-14 libclang-rt-14-dev
  emscripten chromium python3-websocket python3-pil
  libkf5config-bin wtype swaybg
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
