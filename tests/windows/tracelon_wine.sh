#!/bin/sh
# tracelon.exe under Wine, in the prefix that wine_start.sh made.
# A run that Wine itself broke off ("wine client error": the program lost its connection to the
# Wine server, as happens now and then while the server is busy) is run again, up to three times
# in all; only the last run's output is passed on. A session that fails on its own is not
# repeated.
wine=$(command -v wine || command -v wine64)
out=$(mktemp) || exit 1
err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
attempt=1
while :; do
  "$wine" "$QXT_TRACELON_EXE" "$@" >"$out" 2>"$err"
  status=$?
  if [ "$status" -ne 0 ] && [ "$attempt" -lt 3 ] && grep -q "wine client error" "$err"; then
    attempt=$((attempt + 1))
    sleep 1
    continue
  fi
  cat "$out"
  cat "$err" >&2
  exit "$status"
done
