#!/usr/bin/env bash
# Installs the pinned browser driver (npm, from the lock file; the browser is
# Debian's chromium) into TOOLS_DIR and runs a test of the built page: by
# default, each game played.
# usage: page_in_chromium.sh PAGE_DIR TOOLS_DIR [TEST_FILE]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
page_dir=$1
tools_dir=$2
test_file=${3:-play_each_game.mjs}
mkdir -p "$tools_dir"
if ! cmp -s "$here/package-lock.json" "$tools_dir/package-lock.json" || [ ! -d "$tools_dir/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$tools_dir/"
  (cd "$tools_dir" && npm ci --no-audit --no-fund --loglevel=error)
fi
KANAE_WEB_TOOLS="$tools_dir/node_modules" exec node "$here/$test_file" "$page_dir"
