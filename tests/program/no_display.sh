#!/usr/bin/env bash
# Without any display the game says so plainly, shows how to use Xvfb and
# exits with status 2, instead of crashing in Qt's platform start-up.
set -u
game=$1
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$game" 2>&1 </dev/null)
status=$?
fail() { echo "FAIL: $*"; echo "--- output:"; echo "$output"; exit 1; }
[ "$status" -eq 2 ] || fail "exit status $status, expected 2"
grep -q "No display found" <<<"$output" || fail "no plain message"
grep -q "xvfb-run" <<<"$output" || fail "no hint on Xvfb"
grep -qi "qt.qpa\|abort\|core dumped" <<<"$output" && fail "Qt's own failure leaked out"

output=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:7391 "$game" 2>&1 </dev/null)
status=$?
[ "$status" -eq 2 ] || fail "unanswered display: exit status $status, expected 2"
grep -q "No X server answers on display :7391" <<<"$output" || fail "unanswered display not named"
echo "ok"
