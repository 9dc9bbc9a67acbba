#!/usr/bin/env bash
# Runs the modal-window driver on an X server of its own under openbox, a
# window manager that offers a minimise button on every window.
#   modal_desktop.sh <driver>
set -u
driver=$1
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; [ -f "$work/openbox.log" ] && cat "$work/openbox.log"; exit 1; }
# Runs the command until it succeeds, for up to a minute: the bound is only
# for a starved machine.
waitFor() {
    local until=$((SECONDS + 60))
    until "$@"; do
        [ "$SECONDS" -lt "$until" ] || return 1
        sleep 0.1
    done
}
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# The server picks a free display itself and names it once it answers.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
waitFor test -s "$work/display" || fail "Xvfb gave no display"
export DISPLAY=:$(cat "$work/display")

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# Managing once it has announced itself on the root window.
waitFor managed || fail "openbox did not start"

export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
# No session bus goes with this private screen.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/varnel-modal-bus
timeout 240 "$driver" 2>"$work/stderr"
status=$?
[ "$status" -eq 0 ] || { echo "FAIL: driver status $status"; cat "$work/stderr"; exit 1; }
