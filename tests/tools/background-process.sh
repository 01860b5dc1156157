#!/bin/sh
# vistrel-background as the user runs it: the verbs acting directly, then through a running
# agent, on a private session bus, with GNOME's settings in a keyfile of the test's own and a
# fake logind on a private system bus that says the machine woke.
# usage: background-process.sh VISTREL_BACKGROUND SESSION_BUS_CONFIG PYTHON
set -eu
program=$1
bus_config=$2
python=$3
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session --config-file="$bus_config" -- "$0" "$@"
fi

home=$(mktemp -d)
agent=
logind=
system_bus=
trap 'kill $agent $logind $system_bus 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state"
export XDG_DATA_HOME="$home/data" XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile
export QT_QPA_PLATFORM=offscreen
state="$XDG_STATE_HOME/vistrel/background-state"
keyfile="$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect() {  # expect STATUS OUTPUT-PATTERN VERB...
  want=$1 pattern=$2; shift 2
  set +e; out=$("$program" "$@" 2>&1); got=$?; set -e
  [ "$got" = "$want" ] || fail "'$*' exited $got, not $want: $out"
  printf '%s\n' "$out" | grep -q -- "$pattern" || fail "'$*' said: $out"
}
history() { grep '^history=' "$state" | cut -d= -f2; }
agent_runs() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.example.vistrel.Background | grep -q true
}

# With no agent: the verbs act themselves.
expect 2 "unknown verb 'nxt'" nxt
expect 0 "Seed 123 is on show" seed 123
[ "$(history)" = "123" ] || fail "history after seed: $(history)"
grep -q "picture-uri=.*seed-00123\|picture-uri=.*123" "$keyfile" || fail "no background: $(cat "$keyfile")"
expect 0 "Seed 123 is a favourite now" favourite
grep -qx 123 "$XDG_DATA_HOME/vistrel/favourites" || fail "favourite not written"
expect 1 "no earlier background" previous
expect 0 "On show: seed 123" status

# A damaged state is reported once and replaced.
cp "$state" "$home/good-state"
echo "history=rubbish" > "$state"
expect 0 "damaged" seed 7
expect 0 "Seed 8 is on show" seed 8
[ "$(history)" = "7 8" ] || fail "history after damage: $(history)"

# The agent: one per session, the verbs go to it.
mkdir -p "$XDG_CONFIG_HOME/vistrel"
printf 'interval=hour\n' > "$XDG_CONFIG_HOME/vistrel/background"
# A system bus of the test's own, with logind's manager mocked on it.
dbus-daemon --config-file="$bus_config" --print-address=3 --print-pid=4 --fork \
  3>"$home/system-bus" 4>"$home/system-bus.pid"
system_bus=$(cat "$home/system-bus.pid")
DBUS_SYSTEM_BUS_ADDRESS=$(cat "$home/system-bus")
export DBUS_SYSTEM_BUS_ADDRESS
"$python" -m dbusmock --system --template logind >"$home/logind.log" 2>&1 &
logind=$!
for _ in $(seq 50); do
  dbus-send --system --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.login1 2>/dev/null | grep -q true && break
  sleep 0.1
done
"$program" run > "$home/agent.log" 2>&1 &
agent=$!
for _ in $(seq 50); do agent_runs && break; sleep 0.1; done
agent_runs || fail "the agent took no name: $(cat "$home/agent.log")"
expect 0 "already runs" run
expect 0 "Next change: $(date -d '+1 hour' '+%Y-%m-%d %H')" status
expect 0 "Seed 200 is on show" seed 200
expect 0 "Seed 8 is on show" previous
[ "$(history)" = "7 8" ] || fail "history through the agent: $(history)"
expect 2 "seed takes a whole number" seed 99999
# From logind's own name, as the agent hears only logind.
wake() {
  gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
    -m org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.login1.Manager PrepareForSleep b \
    '[<false>]' >/dev/null
}
# Woken with nothing due: no change.
wake
sleep 4
[ "$(history)" = "7 8" ] || fail "a wake-up with nothing due changed: $(history)"
# Asleep for five hours: woken, one change, however many intervals went by.
sed -i "s/^set-at=.*/set-at=$(( $(date +%s) - 5 * 3600 ))/" "$state"
wake
wake
for _ in $(seq 100); do [ "$(history | wc -w)" -ge 3 ] && break; sleep 0.1; done
sleep 4
[ "$(history | wc -w)" = 3 ] || fail "the wake-up after five hours made not one change: $(history)"
expect 0 "Next change: $(date -d '+1 hour' '+%Y-%m-%d %H')" status
# The viewer's dialog ends it over the bus.
dbus-send --session --print-reply --dest=org.example.vistrel.Background \
  /org/example/vistrel/Background org.example.vistrel.Background.Quit >/dev/null
wait $agent || fail "the agent ended badly: $(cat "$home/agent.log")"
agent=
echo "PASS"
