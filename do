#!/usr/bin/env bash
# The one script behind README's commands.
#   ./do setup   install the Debian packages the project needs
#   ./do demo    set up, build, and run the first example session on the bundled sample machine
#   ./do test    set up, build, and pass every test (normal build, the Windows build with its
#                sessions under Wine, then the sanitizer build)
#   ./do serve [--root DIR] [--port N]   set up, build, and serve the drafting page on 127.0.0.1
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
          librsvg2-bin unrtf libwmf-bin
          g++-mingw-w64-x86-64-posix wine wine64 libcpp-httplib-dev chromium nodejs)

setup() {
  local missing=() sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
  fi
  # npm comes with some builds of nodejs; Debian's own comes as a package of its own.
  if ! command -v npm >/dev/null; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y npm
  fi
  # The browser tests drive Chromium with playwright-core, pinned by the lock file.
  if [ ! -d tests/browser/node_modules/playwright-core ] ||
     [ tests/browser/package-lock.json -nt tests/browser/node_modules/.package-lock.json ]; then
    (cd tests/browser && npm ci --no-audit --no-fund)
  fi
}

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

case "${1:-}" in
  setup) setup ;;
  demo)
    setup
    build default
    mkdir -p out
    session=${2:-examples/text_notes.session}
    ./build/bin/tracelon run "$session" --svg out/demo.svg --json out/demo.json
    rsvg-convert -b white out/demo.svg -o out/demo.png
    echo "drawing: out/demo.svg, out/demo.png, out/demo.json"
    ;;
  serve)
    setup
    build default
    shift
    ./build/bin/tracelon serve "$@"
    ;;
  test)
    setup
    build default
    ctest --preset default -j "$(nproc)"
    build windows
    ctest --preset windows -j "$(nproc)"
    build asan
    ctest --preset asan -j "$(nproc)"
    ;;
  *)
    echo "usage: ./do setup|demo [SESSION]|test|serve [--root DIR] [--port N]" >&2
    exit 2
    ;;
esac
