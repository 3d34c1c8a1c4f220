#!/usr/bin/env bash
# Installs what Kanae needs on Debian 12, builds it, and then either starts the
# teacher's menu (./setup.sh run [--kiosk]), one game on the demo lesson
# (./setup.sh run Game) or runs every test (./setup.sh test). Only Debian
# packages are installed.
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-qpa-plugins
  libsdl2-dev libsdl2-mixer-dev librubberband-dev libebur128-dev
  libespeak-ng-dev espeak-ng-data
  libmecab-dev mecab-ipadic-utf8
  libicu-dev
  open-jtalk open-jtalk-mecab-naist-jdic hts-voice-nitech-jp-atr503-m001
  fonts-ipafont-gothic fonts-noto-color-emoji libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libcsv-dev chromium librsvg2-bin python3-fonttools python3-brotli
  qt6-translations-l10n
  xvfb x11-xserver-utils xdotool
  ccache
  emscripten
)

# The Open JTalk voice is in Debian's contrib component. Adds contrib to the
# Debian sources (deb822 debian.sources or a classic sources.list) where it
# is missing; running it again changes nothing.
enable_contrib() {
  local sudo=$1
  local deb822=/etc/apt/sources.list.d/debian.sources
  if [ -f "$deb822" ] && grep -q '^Components:' "$deb822"; then
    $sudo sed -i -E '/^Components:/{/(^|[[:space:]])contrib([[:space:]]|$)/!s/$/ contrib/}' "$deb822"
  fi
  if [ -f /etc/apt/sources.list ]; then
    $sudo sed -i -E '/^deb(-src)?[[:space:]].*debian/{/[[:space:]]contrib([[:space:]]|$)/!s/([[:space:]]main)([[:space:]]|$)/\1 contrib\2/}' \
      /etc/apt/sources.list
  fi
}

install_packages() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  # npm installs the page's test tools; a Node.js from elsewhere brings its own.
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  if ! apt-cache policy hts-voice-nitech-jp-atr503-m001 | grep -q 'Candidate: [0-9]'; then
    echo "setup.sh: enabling Debian's contrib component for the Open JTalk voice" >&2
    enable_contrib "$sudo"
    $sudo apt-get update
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {  # build-dir, extra cmake arguments...
  local dir=$1
  shift
  # ccache keyed on paths relative to the checkout (the build folder left out
  # of the key too), so a fresh clone reuses what an earlier build on the same
  # machine compiled; its debug information may then name the earlier folder.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
  cmake --build "$dir" -j"$(nproc)"
}

case "${1:-}" in
  run)
    install_packages
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ $# -lt 2 ] || [[ $2 == --* ]]; then
      # The menu finds the sounds and the demo lesson in the build tree and
      # runs the games in the per-user folder, as the installed one does.
      exec build/games/bin/kanae "${@:2}"
    fi
    game=$2
    # The game's current folder holds the sounds and the teacher's messages,
    # as the installed launcher's per-user folder does.
    mkdir -p build/play
    cp -n build/sound_pack/* build/play/ 2>/dev/null || true
    cd build/play
    exec "../games/bin/$game" "$(cd ../demo_lesson && pwd)"
    ;;
  test)
    install_packages
    export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy KANAE_SPEECH=${KANAE_SPEECH:-espeak}
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ctest --test-dir build --output-on-failure --timeout 300 -j"$(nproc)"
    # Once more with AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKANAE_SANITIZE=ON -DKANAE_BUILD_BENCH=OFF
    # Leaks are checked; only the D-Bus library's own objects at exit are suppressed.
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
      ctest --test-dir build-sanitize --output-on-failure --timeout 300 -j"$(nproc)"
    # Each fuzz target for half a minute (./fuzz/run.sh SECONDS runs them longer).
    ./fuzz/run.sh "${KANAE_FUZZ_SECONDS:-30}"
    ;;
  web)
    install_packages
    # The page carries the demo lesson and the sound pack the desktop tools make.
    build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    export NODE_PATH=/usr/share/nodejs CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
    cmake --preset web -DKANAE_DESKTOP_BUILD="$PWD/build"
    cmake --build build-web -j"$(nproc)" --target kanae_page page_assets
    port=${KANAE_PORT:-8080}
    echo "Kanae in the browser: http://localhost:$port/"
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/page
    ;;
  *)
    echo "usage: $0 run [--kiosk | Oltar|Pemble|Suvan|Dabrel|Quoma|Vintal] | $0 web | $0 test" >&2
    exit 2
    ;;
esac
