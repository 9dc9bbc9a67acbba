#!/usr/bin/env bash
# Runs the driven program with a script of clicks and checks its exit status
# and, optionally, a text on its standard error.
#   drive.sh <program> <expected status> <expected stderr text or -> <clicks...>
set -u
program=$1 expected=$2 text=$3
shift 3
errors=$(timeout 60 "$program" "$@" 2>&1 >/dev/null </dev/null)
status=$?
if [ "$status" -ne "$expected" ]; then
    echo "FAIL: exit status $status, expected $expected"; echo "$errors"; exit 1
fi
if [ "$text" != "-" ] && ! grep -qF "$text" <<<"$errors"; then
    echo "FAIL: \"$text\" not on standard error"; echo "$errors"; exit 1
fi
echo "ok"
