#!/usr/bin/env bash
# Runs a Wayland test on a private session bus. sway refuses to run as root, so under root
# the compositor, the program and the test run as the unprivileged user nobody, from copies in
# a temporary folder (the build may lie where nobody cannot read it).
# usage: wayland-session.sh TEST.py VISTREL VISTREL_RENDER [ARGUMENTS...]
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
test=$1
shift
if [ "$(id -u)" -eq 0 ]; then
  copies=$(mktemp -d)
  trap 'rm -rf "$copies"' EXIT
  cp "$here/wayland-session.sh" "$here"/*.py "$here"/*.supp "$copies/"
  cp "$1" "$copies/vistrel"
  cp "$2" "$copies/vistrel-render"
  chmod 755 "$copies" "$copies"/*
  shift 2
  setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/nonexistent TMPDIR=/tmp \
    "$copies/wayland-session.sh" "$test" "$copies/vistrel" "$copies/vistrel-render" "$@"
  exit
fi
# What Qt's Wayland plugin leaves at exit is libwayland-client's, not the programs' (see the file).
export LSAN_OPTIONS="suppressions=$here/wayland-client.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# No settings daemon in this session: GLib keeps its settings in memory.
export GSETTINGS_BACKEND=memory
exec dbus-run-session -- /usr/bin/python3 "$here/$test" "$@"
