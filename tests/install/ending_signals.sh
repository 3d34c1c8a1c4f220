#!/usr/bin/env bash
# SIGTERM (a logout) and SIGHUP (the terminal closed) end a game as Esc does:
# the trace's exit line, status 0, and the speech's temporary folder gone.
set -uo pipefail
game=$1
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/lesson" "$work/tmp"
touch "$work/lesson/いぬ.jpg" "$work/lesson/ねこ.jpg" "$work/lesson/うし.jpg"
cd "$work"
for signal in TERM HUP; do
  trace="$work/trace-$signal"
  : >"$trace"
  TMPDIR="$work/tmp" KANAE_SPEECH=openjtalk KANAE_TRACE="$trace" "$game" "$work/lesson" >"$work/out" 2>"$work/err" &
  pid=$!
  # Until the first question is on screen (bounded: a game that never gets
  # there fails below).
  for _ in $(seq 300); do
    grep -q $'\tready' "$trace" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  grep -q $'\tready' "$trace" || { echo "SIG$signal: the game never got ready"; cat "$work/err"; exit 1; }
  # Open JTalk keeps its files in a folder of its own while the game runs
  # (made as its engine starts, on a worker thread).
  if command -v open_jtalk >/dev/null; then
    for _ in $(seq 300); do
      [ -n "$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name 'kanae-speech-*')" ] && break
      grep -q 'cannot speak' "$work/err" && break
      sleep 0.1
    done
    [ -n "$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name 'kanae-speech-*')" ] || grep -q 'cannot speak' "$work/err" ||
      { echo "SIG$signal: no speech folder while the game runs"; cat "$work/err"; exit 1; }
  fi
  kill -"$signal" "$pid"
  wait "$pid"
  status=$?
  pid=
  [ "$status" -eq 0 ] || { echo "SIG$signal: exit status $status, expected 0"; cat "$work/err"; exit 1; }
  [ "$(tail -n 1 "$trace" | cut -f 2)" = exit ] || { echo "SIG$signal: no exit line at the end of the trace"; tail -n 3 "$trace"; exit 1; }
  leftover=$(find "$work/tmp" -mindepth 1 -maxdepth 1 -name 'kanae-speech-*')
  [ -z "$leftover" ] || { echo "SIG$signal: left behind: $leftover"; exit 1; }
done
echo ok
