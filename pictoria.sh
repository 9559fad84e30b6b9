#!/usr/bin/env bash
# Sets up what is missing, builds, and then either starts Pictoria or runs every test.
#   ./pictoria.sh        install, build, start the program
#   ./pictoria.sh test   install, build (plain and with sanitizers), run every test, then fuzz
#                        each reader of outside input for a minute (with clang)
#   ./pictoria.sh package   install, build, and make the Debian package in build-package/
set -euo pipefail
cd "$(dirname "$0")"
top=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

scripts/install-deps.sh "${1:-run}"

build() {  # folder, extra cmake arguments...
  local dir=$1; shift
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
  ninja -C "$dir" -j "$jobs"
}

case "${1:-run}" in
  run)
    build build
    mkdir -p run
    cd run
    exec "$top/build/pictoria"
    ;;
  test)
    build build
    (cd build && ctest --output-on-failure -j "$jobs")
    # The whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer. The real
    # binary's end-to-end runs stay with the plain build: the desktop libraries it loads are
    # not built for leak checking.
    build build-sanitize -DPICTORIA_SANITIZE=ON -DPICTORIA_BENCH=OFF
    (cd build-sanitize && ctest --output-on-failure -j "$jobs" -E '^e2e_')
    # Each fuzz target for a minute over a scratch copy of its corpus, two at a time.
    probe='extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }'
    if echo "$probe" | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null 2> /dev/null; then
      CC=clang CXX=clang++ cmake -S "$top" -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPICTORIA_FUZZ=ON -DPICTORIA_BENCH=OFF > /dev/null
      ninja -C build-fuzz -j "$jobs" fuzz
      (cd build-fuzz && ctest --output-on-failure -j 2 -L fuzz)
    else
      echo "clang with libFuzzer is missing: fuzzing skipped (scripts/install-deps.sh test installs it)"
    fi
    ;;
  package)
    # Built for /usr, the program reads the system's settings from /etc, where the package puts them.
    build build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DPICTORIA_TESTS=OFF -DPICTORIA_BENCH=OFF
    (cd build-package && cpack -G DEB > /dev/null)
    ls "$top"/build-package/pictoria_*.deb
    ;;
  *)
    echo "usage: $0 [run|test|package]" >&2
    exit 2
    ;;
esac
