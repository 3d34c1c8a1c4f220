#!/usr/bin/env bash
# Builds the core and its tests for the web with Debian's emscripten (the
# "web" preset, in the folder given) and runs the tests in wasm under node.
# usage: build_and_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
# Debian's emscripten finds its optimizer's JavaScript modules only here.
export NODE_PATH=/usr/share/nodejs
export CCACHE_BASEDIR="$source_dir" CCACHE_NOHASHDIR=1
cmake --preset web -S "$source_dir" -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" --output-on-failure --timeout 600 -j2
