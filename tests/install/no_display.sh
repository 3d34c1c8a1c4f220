#!/usr/bin/env bash
# Started where there is no display, a game says so in one line and exits
# with status 1 (not the toolkit's abort), before touching any file.
set -uo pipefail
game=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/lesson" && touch "$work/lesson/いぬ.jpg"
cd "$work"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$game" "$work/lesson" >"$work/out" 2>"$work/err"
status=$?
[ "$status" -eq 1 ] || { echo "exit status $status, expected 1"; cat "$work/err"; exit 1; }
[ "$(cat "$work/err")" = "kanae: no display (DISPLAY is not set)" ] || { echo "unexpected stderr:"; cat "$work/err"; exit 1; }
[ ! -e "$work/lesson/Fname.txt" ] && [ ! -e "$work/O.txt" ] || { echo "files were written"; exit 1; }
