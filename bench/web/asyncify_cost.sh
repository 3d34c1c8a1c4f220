#!/usr/bin/env bash
# Links the page's core once more without -sASYNCIFY, into build-web-noasync/,
# from the objects of build-web (built first), only to measure what ASYNCIFY
# costs in size: that core cannot wait for a cue and does not play.
# bench/web/run.sh then prints both sizes side by side.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
target_dir=$source_dir/build-web/platform/web
out_dir=$source_dir/build-web-noasync
link=$target_dir/CMakeFiles/kanae_page.dir/link.txt
if [[ ! -f $link ]]; then
  echo "no $link: configure and build build-web first" >&2
  exit 1
fi
export NODE_PATH=/usr/share/nodejs
mkdir -p "$out_dir"
# The same link line, without ASYNCIFY and into the other folder.
command=$(sed -e 's/ -sASYNCIFY=1//' -e "s| -o [^ ]*kanae-core.js| -o $out_dir/kanae-core.js|" "$link")
if [[ $command == *ASYNCIFY* || $command != *"$out_dir"* ]]; then
  echo "the link line in $link has changed; update this script" >&2
  exit 1
fi
(cd "$target_dir" && eval "$command")
ls -l "$out_dir"/kanae-core.js "$out_dir"/kanae-core.wasm "$source_dir"/build-web/page/kanae-core.wasm
