#!/bin/sh
# A Windows program under Wine, in the prefix that wine_start.sh made:
#   wine_run.sh PROGRAM.exe [ARGUMENTS...]
# A run that Wine itself broke off is run again, up to three times in all; only the last run's
# output is passed on. Wine broke a run off when it failed and either printed "wine client error"
# (the program lost its connection to the Wine server, as happens now and then while the server
# is busy) or printed nothing at all: the programs run here (tracelon.exe, the test programs) say
# why whenever they fail, so a silent failure means the program never started. A run that fails
# on its own is not repeated.
wine=$(command -v wine || command -v wine64)
program=$1
shift
out=$(mktemp) || exit 1
err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
attempt=1
while :; do
  "$wine" "$program" "$@" >"$out" 2>"$err"
  status=$?
  broken=no
  if [ "$status" -ne 0 ]; then
    if grep -q "wine client error" "$err" || { [ ! -s "$out" ] && [ ! -s "$err" ]; }; then
      broken=yes
    fi
  fi
  if [ "$broken" = yes ] && [ "$attempt" -lt 3 ]; then
    echo "wine_run: Wine broke off run $attempt (status $status); running it again" >&2
    attempt=$((attempt + 1))
    sleep 1
    continue
  fi
  cat "$out"
  cat "$err" >&2
  if [ "$broken" = yes ]; then
    echo "wine_run: Wine broke off all $attempt runs (last status $status)" >&2
  fi
  exit "$status"
done
