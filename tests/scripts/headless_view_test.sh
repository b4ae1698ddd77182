#!/usr/bin/env bash
# The run command on a machine without a display: it serves its Xvfb to a web browser on loopback
# only, and stopping it leaves nothing of it running. Uses the programs as built (no build) and the
# project's Wine prefix, so run it while no other Wine test uses that prefix.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
LOG="$(mktemp)"
fail() { echo "FAIL: $*" >&2; echo "--- run output:" >&2; cat "$LOG" >&2; exit 1; }

# Every TCP socket listening on port $1, as "address" lines (hex, as the kernel lists them).
listeners() {
  local hexport; hexport="$(printf '%04X' "$1")"
  awk -v p="$hexport" 'FNR > 1 && $4 == "0A" { split($2, a, ":"); if (a[2] == p) print a[1] }' \
    /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

# A session of its own: every process the run command starts (other than daemons that leave it) is
# found by that session id afterwards.
env -u DISPLAY CORVANE_SKIP_BUILD=1 setsid bash "$ROOT/scripts/run.sh" >"$LOG" 2>&1 </dev/null &
RUN_PID=$!
# Also on a failure: the command ends, and with it everything it started (it finishes a Wine start
# under way first).
cleanup() {
  if kill -TERM "$RUN_PID" 2>/dev/null; then
    for _ in $(seq 300); do
      kill -0 "$RUN_PID" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$LOG"
}
trap cleanup EXIT

url=""
for _ in $(seq 600); do
  url="$(grep -o 'http://127\.0\.0\.1:[0-9]*/vnc\.html' "$LOG" | head -1 || true)"
  [ -n "$url" ] && break
  kill -0 "$RUN_PID" 2>/dev/null || fail "the run command ended before it served its screen"
  sleep 0.1
done
[ -n "$url" ] || fail "no address printed"
web_port="$(echo "$url" | sed 's|.*:\([0-9]*\)/.*|\1|')"
vnc_port="$(grep -o 'VNC on 127\.0\.0\.1:[0-9]*' "$LOG" | head -1 | sed 's/.*://')"
[ -n "$vnc_port" ] || fail "no VNC port printed"
display="$(grep -o 'Watch the screen (:[0-9]*)' "$LOG" | head -1 | sed 's/.*(\(.*\))/\1/')"
[ -n "$display" ] || fail "no display printed"

# The page itself, and the VNC server's greeting.
page="$(curl -fsS --max-time 10 "$url")" || fail "page not served at $url"
echo "$page" | grep -qi '<title>noVNC</title>' || fail "$url is not the noVNC page"
greeting="$(timeout 5 bash -c "exec 3<>/dev/tcp/127.0.0.1/$vnc_port; head -c 12 <&3")" || fail "VNC server does not answer"
[[ "$greeting" == RFB* ]] || fail "VNC port $vnc_port answered '$greeting'"

# Loopback only: every listener on either port is 127.0.0.1 (0100007F) or ::1.
for port in "$web_port" "$vnc_port"; do
  addresses="$(listeners "$port")"
  [ -n "$addresses" ] || fail "nothing listens on port $port"
  while read -r address; do
    case "$address" in
      0100007F | 00000000000000000000000001000000) ;;
      *) fail "port $port listens on $address, not on loopback only" ;;
    esac
  done <<<"$addresses"
done

# Let the program come up for a moment, then stop the command as Ctrl-C or a service manager would.
sleep "${HEADLESS_SECONDS:-5}"
kill -0 "$RUN_PID" 2>/dev/null || fail "the run command ended by itself"
kill -TERM "$RUN_PID"
for _ in $(seq 300); do
  kill -0 "$RUN_PID" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$RUN_PID" 2>/dev/null && fail "the run command did not end after TERM"
wait "$RUN_PID" 2>/dev/null || true

# Nothing of it left: no process in its session or on its display, nothing on its ports, no Wine
# process of the prefix.
sleep 1
left="$(pgrep -s "$RUN_PID" || true)"
[ -z "$left" ] || fail "processes left in its session: $(ps -o pid=,args= -p "${left//$'\n'/,}")"
for pid in $(pgrep -u "$(id -u)" || true); do
  if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "DISPLAY=$display"; then
    fail "process $pid on display $display left: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
  fi
done
[ ! -e "/tmp/.X${display#:}-lock" ] || fail "the Xvfb of $display is still there"
for port in "$web_port" "$vnc_port"; do
  [ -z "$(listeners "$port")" ] || fail "port $port still listens"
done
prefix="${CORVANE_BUILD:-$ROOT/build}/wineprefix"
for pid in $(pgrep -u "$(id -u)" -f 'wine|\.exe' || true); do
  if tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$prefix"; then
    fail "Wine process $pid of the prefix left: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
  fi
done
echo "PASS: headless view at $url (VNC $vnc_port), loopback only, nothing left after TERM"
