#!/usr/bin/env bash
# Runs a command on a desktop of its own: a private X server (Xvfb) with a window manager
# (openbox) and a private session bus, on which the accessibility bus starts when asked for.
# usage: x11-session.sh COMMAND [ARGUMENT...]
set -euo pipefail
if [ -z "${X11_SESSION_INNER:-}" ]; then
  export X11_SESSION_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- "$0" "$@"
fi
openbox --sm-disable > /dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2> /dev/null || true' EXIT
sleep 0.5
"$@"
