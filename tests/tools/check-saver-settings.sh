#!/usr/bin/env bash
# Checks the screensaver's settings file: well-formed XML, and the fields the screensaver reads,
# with a delay slider whose every value the saver accepts.
# usage: check-saver-settings.sh SETTINGS_FILE
set -euo pipefail
file=$1

xmllint --noout "$file"

status=0
value() { xmllint --xpath "$1" "$file"; }
expect() {
  local got
  got=$(value "$1")
  [ "$got" = "$2" ] || { echo "$1: '$got', expected '$2'"; status=1; }
}
expect 'string(/screensaver/@name)' vistrel
expect 'string(/screensaver/@_label)' Vistrel
expect 'string(/screensaver/command/@arg)' --root
expect 'count(/screensaver/number[@arg="--delay %"])' 1
expect 'boolean(normalize-space(/screensaver/_description))' true

slider='/screensaver/number[@arg="--delay %"]'
low=$(value "number($slider/@low)")
high=$(value "number($slider/@high)")
default=$(value "number($slider/@default)")
if ! [ "$low" -ge 1 ] 2>/dev/null || ! [ "$high" -le 3600 ] || ! [ "$low" -le "$default" ] ||
  ! [ "$default" -le "$high" ]; then
  echo "the delay slider runs $low..$high with default $default; the saver takes 1..3600"
  status=1
fi
exit $status
