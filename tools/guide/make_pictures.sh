#!/usr/bin/env bash
# Remakes the guide's pictures of the screens (docs/guide/pictures/) from the
# offscreen tests that draw those screens, on a 1024x768 screen:
#   tools/guide/make_pictures.sh build
set -euo pipefail
build=$(cd "${1:?usage: make_pictures.sh BUILD_DIR}" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
out="$source/docs/guide/pictures"
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT

export QT_QPA_PLATFORM="offscreen:configfile=$source/tests/qt/screens/768.json"
export SDL_AUDIODRIVER=dummy KANAE_SPEECH=none KANAE_SCREENSHOT_DIR="$shots"
"$build/tests/dialog_scaling_tests" --gtest_filter='DialogScaling.Every*:DialogScaling.TheTaskDialog*' >/dev/null
"$build/tests/game_layout_tests" --gtest_filter='GameLayout.TheKanaCatching*' >/dev/null
"$build/tests/tools/menu_tests" --gtest_filter='MenuTest.ShowsTheSixGames*' >/dev/null

mkdir -p "$out"
cp "$shots/menu-768.png" "$out/menu.png"
cp "$shots/kana-catching-cards-768.png" "$out/game.png"
cp "$shots/settings-Oltar-768.png" "$out/settings.png"
cp "$shots/settings-input-768.png" "$out/input.png"
cp "$shots/tasks-768.png" "$out/tasks.png"
ls -l "$out"
