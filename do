#!/usr/bin/env bash
# The one script behind README's commands.
#   ./do setup   install the Debian packages the project needs
#   ./do demo    set up, build, and run the first example session on the bundled sample machine
#   ./do test    set up, build, and pass every test (normal build, the Windows build with its
#                sessions under Wine, the sanitizer build, then the fuzz build with a 10-second run
#                of every fuzz target)
#   ./do fuzz [SECONDS] [TARGET...]   set up, build the fuzz targets, and run each (every one when
#                none is named) for SECONDS (600) in turn, its corpus kept under build-fuzz/
#   ./do serve [--root DIR] [--port N]   set up, build, and serve the drafting page on 127.0.0.1
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
          librsvg2-bin unrtf libwmf-bin
          g++-mingw-w64-x86-64-posix wine wine64 libcpp-httplib-dev chromium nodejs
          clang libclang-rt-14-dev nsis xvfb x11-apps x11-utils imagemagick zip dpkg-dev
          curl libdxflib-dev librecad-data python3-ezdxf)

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
  windows_httplib
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

# The Windows build's `tracelon.exe serve` compiles cpp-httplib's header-only form into the
# program. Debian's -dev package holds only the declarations (its code is in a Linux shared
# library), so the header comes from Debian's source package of the same library, fetched with
# apt-get into build-deps/ under a source list of its own (the system's apt set-up is left
# alone) and unpacked with Debian's patches applied.
windows_httplib() {
  local out=build-deps/cpp-httplib work codename
  [ -f "$out/httplib.h" ] && return 0
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  work=$(mktemp -d)
  mkdir -p "$work/lists/partial"
  echo "deb-src http://deb.debian.org/debian $codename main" >"$work/sources.list"
  local apt=(apt-get -q -o "Dir::Etc::SourceList=$work/sources.list"
             -o "Dir::Etc::SourceParts=$work/none" -o "Dir::State::Lists=$work/lists"
             -o APT::Sandbox::User=root)
  if "${apt[@]}" update >"$work/log" 2>&1 &&
     (cd "$work" && "${apt[@]}" source --download-only cpp-httplib >>log 2>&1) &&
     (cd "$work" && dpkg-source -x --no-check ./cpp-httplib_*.dsc src >>log 2>&1); then
    mkdir -p "$out"
    cp "$work/src/httplib.h" "$work/src/LICENSE" "$out/"
  else
    echo "setup: cannot fetch cpp-httplib's sources: the Windows tracelon.exe is built" \
         "without serve (see $work/log)" >&2
    return 0
  fi
  rm -rf "$work"
}

build() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

# Runs fuzz targets of the fuzz build one after another, each for $1 seconds (the rest of the
# arguments name targets; none means every fuzz/*_fuzz.cpp). A target's corpus grows in
# build-fuzz/corpus/<target>/ from its seeds in fuzz/corpus/<target>/; what it finds is kept in
# build-fuzz/findings/<target>/ and its output in build-fuzz/logs/<target>.log. Prints the
# executions and the findings of this run for each, and fails when any target found something.
fuzz_targets() {
  local seconds=$1 failed=0 name source log execs found
  shift
  local names=("$@")
  if ((${#names[@]} == 0)); then
    for source in fuzz/*_fuzz.cpp; do
      name=${source#fuzz/}
      names+=("${name%_fuzz.cpp}")
    done
  fi
  mkdir -p build-fuzz/logs
  local since=build-fuzz/logs/.run-started
  touch "$since"
  for name in "${names[@]}"; do
    if [ ! -x "build-fuzz/bin/${name}_fuzz" ]; then
      echo "fuzz: no target ${name} (fuzz/${name}_fuzz.cpp)" >&2
      return 2
    fi
    mkdir -p "build-fuzz/corpus/$name" "build-fuzz/findings/$name"
    log="build-fuzz/logs/$name.log"
    # Each input gets 25 s before it counts as a hang (and is reported as slow only then: on a busy
    # machine a large input may take more than the fuzzer's 10 s by default); the seeds are only read.
    if "./build-fuzz/bin/${name}_fuzz" -max_total_time="$seconds" -timeout=25 -report_slow_units=25 \
        -print_final_stats=1 \
        ${FUZZ_SEED:+-seed="$FUZZ_SEED"} \
        -artifact_prefix="build-fuzz/findings/$name/" "build-fuzz/corpus/$name" \
        "fuzz/corpus/$name" >"$log" 2>&1; then
      :
    else
      failed=1
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=$(find "build-fuzz/findings/$name" -type f -newer "$since" | wc -l)
    printf '%-18s %10s executions  %s finding(s)\n' "$name" "${execs:-?}" "$found"
    ((found == 0)) || failed=1
  done
  if ((failed)); then
    echo "fuzz: see build-fuzz/logs/ and build-fuzz/findings/" >&2
    return 1
  fi
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
    build fuzz
    # The test's short runs start from a fixed seed, so that they try the same inputs each time:
    # a finding there is a fault that stays found. ./do fuzz explores with a fresh seed each run.
    FUZZ_SEED=1 fuzz_targets 10
    ;;
  fuzz)
    setup
    build fuzz
    shift
    fuzz_targets "${1:-600}" "${@:2}"
    ;;
  *)
    echo "usage: ./do setup|demo [SESSION]|test|fuzz [SECONDS] [TARGET...]|serve [--root DIR] [--port N]" >&2
    exit 2
    ;;
esac
