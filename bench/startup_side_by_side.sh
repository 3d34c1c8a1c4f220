#!/usr/bin/env bash
# The six games side by side: launch to first question drawn (the "ready"
# trace event, in ms since the process started) and peak memory (VmHWM) once
# the first question has settled, on the demo lesson and on a lesson of large
# photographs. Offscreen and silent unless KANAE_SPEECH says otherwise.
# usage: [GAMES="Oltar Suvan"] bench/startup_side_by_side.sh BUILD_DIR [RUNS] [PHOTO_LESSON]
# PHOTO_LESSON defaults to a folder of 101 4000x3000 photo-like JPEGs made
# once under the temporary folder by make_photo_lesson (about 300 MB).
set -euo pipefail
build=$(cd "$1" && pwd) runs=${2:-7}
photos=${3:-${TMPDIR:-/tmp}/kanae_photo_lesson_101}
demo="$build/demo_lesson"
[ -d "$demo" ] || { echo "no demo lesson in $build (build the demo_lesson target)"; exit 1; }
if [ ! -d "$photos" ] || [ "$(ls "$photos" | grep -c '\.jpg$')" -lt 101 ]; then
  echo "making $photos ..."
  "$build/bench/make_photo_lesson" "$photos" 101
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} SDL_AUDIODRIVER=dummy KANAE_SPEECH=${KANAE_SPEECH-none}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }

# One start: prints "ready_ms peak_kib".
one_start() {
  local binary=$1 lesson=$2 pid ready peak
  rm -f "$work/trace"
  (cd "$work" && KANAE_TRACE="$work/trace" exec "$binary" "$lesson" >/dev/null 2>&1) &
  pid=$!
  for _ in $(seq 2000); do
    grep -q $'\tready' "$work/trace" 2>/dev/null && break
    sleep 0.005
  done
  sleep 0.5  # whatever the game does right after its first frame counts too
  peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  ready=$(awk -F'\t' '$2 == "ready" { print $1; exit }' "$work/trace" 2>/dev/null)
  echo "${ready:-9999} ${peak:-0}"
}

printf '%-8s %12s %12s %12s %12s\n' game "demo ms" "photos ms" "demo MiB" "photos MiB"
for game in ${GAMES:-Oltar Pemble Suvan Dabrel Quoma Vintal}; do
  binary="$build/games/bin/$game"
  row=()
  for lesson in "$demo" "$photos"; do
    : > "$work/results"
    for _ in $(seq "$runs"); do one_start "$binary" "$lesson" >> "$work/results"; done
    row+=("$(awk '{ print $1 }' "$work/results" | median)" "$(awk '{ print $2 }' "$work/results" | median)")
  done
  printf '%-8s %12s %12s %12.1f %12.1f\n' "$game" "${row[0]}" "${row[2]}" \
    "$(echo "${row[1]} / 1024" | bc -l)" "$(echo "${row[3]} / 1024" | bc -l)"
done
echo "(medians of $runs starts; KANAE_SPEECH=${KANAE_SPEECH:-default}; QT_QPA_PLATFORM=$QT_QPA_PLATFORM)"
