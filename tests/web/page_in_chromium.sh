#!/usr/bin/env bash
# Installs the pinned browser driver (npm, from the lock file; the browser is
# Debian's chromium) into TOOLS_DIR and plays each game of the built page.
# usage: page_in_chromium.sh PAGE_DIR TOOLS_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
page_dir=$1
tools_dir=$2
mkdir -p "$tools_dir"
if ! cmp -s "$here/package-lock.json" "$tools_dir/package-lock.json" || [ ! -d "$tools_dir/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$tools_dir/"
  (cd "$tools_dir" && npm ci --no-audit --no-fund --loglevel=error)
fi
KANAE_WEB_TOOLS="$tools_dir/node_modules" exec node "$here/play_each_game.mjs" "$page_dir"
