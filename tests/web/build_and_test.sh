#!/usr/bin/env bash
# Builds the core, its tests and the page for the web with Debian's
# emscripten (the "web" preset, in the folder given) and runs the tests in
# wasm under node. The page carries the demo lesson and the sound pack of the
# desktop build named.
# usage: build_and_test.sh SOURCE_DIR BUILD_DIR DESKTOP_BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
desktop_build_dir=$3
# Debian's emscripten finds its optimizer's JavaScript modules only here.
export NODE_PATH=/usr/share/nodejs
export CCACHE_BASEDIR="$source_dir" CCACHE_NOHASHDIR=1
cmake --preset web -S "$source_dir" -B "$build_dir" -DKANAE_DESKTOP_BUILD="$desktop_build_dir" >/dev/null
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" --output-on-failure --timeout 600 -j2
