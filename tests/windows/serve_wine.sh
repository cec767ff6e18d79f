#!/bin/sh
# tracelon.exe serve under Wine, as a page would use it: the program listens on a free port, a
# drafter joins, a host line sent as a session line lands in the drawing, and Quit ends the
# program cleanly (status 0, the plug-in unloaded).
#   serve_wine.sh READY_MARK TRACELON_EXE WORK_DIR
ready=$1
exe=$2
work=$3
test -f "$ready" || { echo "Wine cannot start on this machine (see windows_wine_start): skipped"; exit 0; }
wine=$(command -v wine || command -v wine64)
rm -rf "$work" && mkdir -p "$work" || exit 1
out=$work/serve.out
"$wine" "$exe" serve --port 0 --quiet --root "$work/root" >"$out" 2>&1 &
pid=$!
fail() {
  echo "FAIL: $*"
  echo "--- tracelon serve said:"
  cat "$out"
  kill "$pid" 2>/dev/null
  exit 1
}
port=
for _ in $(seq 1 300); do
  port=$(sed -n 's|.*page is at http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$out")
  [ -n "$port" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the program ended before it listened"
  sleep 0.2
done
[ -n "$port" ] || fail "the program did not say where the page is"
url=http://127.0.0.1:$port
post() { curl -s -m 150 -X POST -H 'Content-Type: application/json' -H "X-Drafter: $token" -d "$2" "$url$1"; }

curl -s -m 30 "$url/" | grep -q '<!DOCTYPE html>' || fail "the page is not served"
token=
token=$(post /api/join '{}' | sed -n 's/.*"token":"\([0-9a-f]*\)".*/\1/p')
[ -n "$token" ] || fail "joining gave no token"
answer=$(post /api/line '{"line":"host line 0 0 12345 0 12345 6789"}')
echo "$answer" | grep -q '"ok":true' || fail "the host line was not taken: $answer"
drawing=$(curl -s -m 30 -H "X-Drafter: $token" "$url/api/drawing")
echo "$drawing" | grep -q 12345 || fail "the drawing lacks the line: $drawing"
answer=$(post /api/line '{"line":"wait 5"}')
echo "$answer" | grep -q '"ok":false' || fail "a scripted-session word was taken: $answer"
post /api/quit '{}' | grep -q '"ok":true' || fail "quit was refused"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "tracelon.exe serve: page, join, a line drawn, a refusal and a clean quit on port $port"
