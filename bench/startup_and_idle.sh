#!/usr/bin/env bash
# Start of a game to its first question on screen (the "ready" trace event),
# and the CPU a game uses while it waits for an answer. Offscreen, silent.
# usage: bench/startup_and_idle.sh BUILD_DIR LESSON_FOLDER [PROGRAM] [RUNS]
set -euo pipefail
build=$1 lesson=$2 program=${3:-Oltar} runs=${4:-15}
binary="$build/games/bin/$program"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy KANAE_SPEECH=${KANAE_SPEECH:-none}

times=()
for i in $(seq "$runs"); do
  rm -f "$work/trace"
  start=$(date +%s%N)
  (cd "$work" && KANAE_TRACE="$work/trace" "$binary" "$lesson" >/dev/null 2>&1 &
   echo $! > "$work/pid")
  until grep -q $'\tready' "$work/trace" 2>/dev/null; do sleep 0.005; done
  end=$(date +%s%N)
  kill "$(cat "$work/pid")" 2>/dev/null || true
  wait 2>/dev/null || true
  times+=($(( (end - start) / 1000000 )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "start to ready, ms (median of $runs): $(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")  all: $(echo $sorted)"

# Idle: the prompt has ended, the game waits for an answer.
(cd "$work" && "$binary" "$lesson" >/dev/null 2>&1 & echo $! > "$work/pid")
pid=$(cat "$work/pid")
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
kill "$pid" 2>/dev/null || true
hz=$(getconf CLK_TCK)
echo "waiting for an answer: $(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / 10 }')% of one core"
