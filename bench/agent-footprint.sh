#!/bin/sh
# The background agent's footprint while idle: its resident memory, and the CPU time it takes
# in an idle minute (no wake-up between changes), read from /proc. Runs the real agent on a
# private session bus with the schedule set to a day, so nothing is due while it is watched.
# usage: agent-footprint.sh VISTREL_BACKGROUND [SECONDS]
set -eu
program=$1
seconds=${2:-60}
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- "$0" "$@"
fi
home=$(mktemp -d)
agent=
trap 'kill $agent 2>/dev/null || true; rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state" XDG_DATA_HOME="$home/data"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
mkdir -p "$XDG_CONFIG_HOME/vistrel" "$XDG_STATE_HOME/vistrel"
printf 'interval=day\n' > "$XDG_CONFIG_HOME/vistrel/background"
printf 'history=5\nset-at=%s\n' "$(date +%s)" > "$XDG_STATE_HOME/vistrel/background-state"
"$program" run >"$home/agent.log" 2>&1 &
agent=$!
sleep 3
ticks() { awk '{ print $14 + $15 }' "/proc/$agent/stat"; }
wakeups() {
  cat /proc/$agent/task/*/status |
    awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { n += $2 } END { print n }'
}
before=$(ticks)
switches=$(wakeups)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
echo "resident while idle: $(awk '/^VmRSS/ { print $2, $3 }' /proc/$agent/status)"
echo "CPU time in ${seconds} s idle: $(( (after - before) * 1000 / hz )) ms"
echo "context switches (all threads) in ${seconds} s idle: $(( $(wakeups) - switches ))"
