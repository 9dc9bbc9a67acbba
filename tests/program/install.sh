#!/usr/bin/env bash
# Installing puts the game where a Linux desktop finds it: the program on the
# path, a desktop entry for the menu, the icon that entry names and the
# licence of the fonts the program carries.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; find "$prefix" -type f; exit 1; }
[ -x "$prefix/bin/varnel" ] || fail "no program"
entry="$prefix/share/applications/varnel.desktop"
[ -f "$entry" ] || fail "no desktop entry"
grep -qx "Exec=varnel" "$entry" || fail "entry does not start varnel"
grep -qx "Icon=varnel" "$entry" || fail "entry names no icon"
grep -qx "Name=Varnel" "$entry" || fail "entry not named Varnel"
[ -f "$prefix/share/icons/hicolor/32x32/apps/varnel.png" ] || fail "no icon"
for licence in OFL-EBGaramond.txt OFL-Liberation.txt; do
    [ -f "$prefix/share/doc/Varnel/fonts/$licence" ] || fail "the carried fonts' licence $licence is missing"
done
echo "ok"
