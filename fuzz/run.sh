#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own folder and runs each for a
# bounded time: ./fuzz/run.sh [SECONDS] (60 by default). The seed corpora in
# fuzz/corpus/<target> are read, never changed; inputs found along the way go
# to a temporary folder. An input that breaks a target is saved under
# fuzz/findings/ and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${KANAE_FUZZ_BUILD:-build-fuzz}
targets=(records text_decoding selection settings picture_names record_repair csv_reading)

launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S . -B "$build" -DKANAE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"

findings=$PWD/fuzz/findings
mkdir -p "$findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_one() {  # target
  local target=$1
  mkdir -p "$work/$target"
  if "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
       -print_final_stats=1 -artifact_prefix="$findings/$target-" \
       "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    echo "fuzz_$target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$target.log" | grep -o '[0-9]*$') runs, no finding"
  else
    echo "fuzz_$target: FINDING (input saved in $findings)"
    tail -n 40 "$work/$target.log"
    return 1
  fi
}

# As many targets at once as there are cores.
failed=0
running=0
for target in "${targets[@]}"; do
  run_one "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
