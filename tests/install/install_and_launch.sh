#!/usr/bin/env bash
# Installs the build into a temporary prefix, starts a game through the
# launcher as the desktop entry would (with a lesson folder given), and waits
# for the game's first question on screen.
set -euo pipefail
build=$1
work=$(mktemp -d)
cleanup() {
  pkill -f "$work/prefix/bin/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/Oltar bin/kanae bin/kanae-launch bin/kanae-say share/applications/kanae.desktop \
         share/icons/hicolor/scalable/apps/kanae.svg share/kanae/sounds/ピンポン.wav share/kanae/sounds/Clear.ico \
         share/applications/kanae-oltar.desktop share/icons/hicolor/scalable/apps/kanae-oltar.svg \
         share/doc/kanae/kanae-guide.html share/doc/kanae/pictures/menu.png; do
  [ -e "$work/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
ls "$work/prefix/share/kanae/demo_lesson" | grep -q '\.jpg$' || { echo "no demo lesson installed"; exit 1; }
grep -q '^Exec=kanae-launch Oltar$' "$work/prefix/share/applications/kanae-oltar.desktop"
grep -q '^Exec=kanae$' "$work/prefix/share/applications/kanae.desktop"
grep -q '^Name=かなえ$' "$work/prefix/share/applications/kanae.desktop"

export XDG_DATA_HOME="$work/home-data" KANAE_TRACE="$work/trace"
"$work/prefix/bin/kanae-launch" Oltar "$work/prefix/share/kanae/demo_lesson"
for _ in $(seq 300); do
  grep -q $'\tready' "$work/trace" 2>/dev/null && break
  sleep 0.1
done
grep -q $'\tready' "$work/trace" || { echo "the game never showed its first question"; cat "$work/trace" 2>/dev/null; exit 1; }
# The per-user folder holds the sound pack and the messages the game created there.
for f in ピンポン.wav Clear.ico O.txt X.txt; do
  [ -e "$XDG_DATA_HOME/kanae/$f" ] || { echo "missing in the user folder: $f"; exit 1; }
done
# A dialog alone, as the menu opens it: the dialog is traced, no question is
# ever asked; an unknown dialog is refused with status 2.
dialog_trace="$work/dialog-trace"
KANAE_TRACE="$dialog_trace" KANAE_DIALOG=settings KANAE_SPEECH=none \
  "$work/prefix/bin/Pemble" "$work/prefix/share/kanae/demo_lesson" &
dialog_game=$!
for _ in $(seq 300); do
  grep -q $'\tdialog\tsettings' "$dialog_trace" 2>/dev/null && break
  sleep 0.1
done
grep -q $'\tdialog\tsettings' "$dialog_trace" || { echo "the settings dialog was never opened alone"; exit 1; }
sleep 0.5
if grep -q $'\tquestion\t' "$dialog_trace"; then echo "a question was asked behind the dialog"; exit 1; fi
kill "$dialog_game"
status=0
KANAE_DIALOG=play "$work/prefix/bin/Pemble" "$work/prefix/share/kanae/demo_lesson" 2>"$work/refused" || status=$?
[ "$status" = 2 ] || { echo "an unknown dialog was not refused: $status"; exit 1; }
grep -q KANAE_DIALOG "$work/refused"
echo "installed and launched"
