#!/usr/bin/env bash
# Runs the Wayland test on a private session bus. sway refuses to run as root, so under root
# the compositor, the program and the test run as the unprivileged user nobody.
# usage: wayland-session.sh VISTREL VISTREL_RENDER APP_ID
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
if [ "$(id -u)" -eq 0 ]; then
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME=/nonexistent TMPDIR=/tmp "$0" "$@"
fi
# No settings daemon in this session: GLib keeps its settings in memory.
export GSETTINGS_BACKEND=memory
exec dbus-run-session -- /usr/bin/python3 "$here/wayland_test.py" "$@"
