#!/usr/bin/env bash
# Fails unless every translation file is complete and current: lupdate, run over the sources as
# the build runs it, finds no text without a translation (new or unfinished) and none whose
# source is gone (vanished or obsolete).
# usage: check-ts.sh LUPDATE SOURCE_LIST WORK_DIR TS_FILE... -- LUPDATE_OPTION...
set -euo pipefail
lupdate=$1
sources=$2
work=$3
shift 3
ts_files=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  ts_files+=("$1")
  shift
done
shift || true

status=0
rm -rf "$work"
mkdir -p "$work"
for ts in "${ts_files[@]}"; do
  copy="$work/$(basename "$ts")"
  cp "$ts" "$copy"
  "$lupdate" "$@" "@$sources" -ts "$copy" > "$work/lupdate.log" 2>&1 || {
    cat "$work/lupdate.log"
    exit 1
  }
  for kind in unfinished vanished obsolete; do
    count=$(grep -c "type=\"$kind\"" "$copy" || true)
    if [ "$count" -ne 0 ]; then
      echo "$(basename "$ts"): $count $kind entries; build the update_translations target and translate them:"
      grep -B3 "type=\"$kind\"" "$copy" | grep -o '<source>.*' || true
      status=1
    fi
  done
done
exit $status
