#!/usr/bin/env bash
# The page's benchmark on the page already built in build-web/page (this builds
# nothing): serves that folder on localhost with python's static server and
# runs page_bench.mjs in Debian's headless chromium. Options go to the bench.
#   bench/web/run.sh                    everything (about 10 minutes)
#   bench/web/run.sh --runs 3 --questions 0
# Before: cmake --build build-web --target kanae_page page_assets, and
# `npm ci` in tests/web (playwright-core, pinned). For the size ASYNCIFY costs
# run bench/web/asyncify_cost.sh once first.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
page_dir=$source_dir/build-web/page
if [[ ! -f $page_dir/kanae-core.wasm ]]; then
  echo "no page in $page_dir: build the targets kanae_page and page_assets first" >&2
  exit 1
fi
if [[ ! -d $source_dir/tests/web/node_modules/playwright-core ]]; then
  echo "no playwright-core: run npm ci in $source_dir/tests/web first" >&2
  exit 1
fi
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$page_dir" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  if python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null; then break; fi
  sleep 0.1
done
node "$source_dir/bench/web/page_bench.mjs" --url "http://127.0.0.1:$port/" --page "$page_dir" \
  --plain "$source_dir/build-web-noasync" "$@"
