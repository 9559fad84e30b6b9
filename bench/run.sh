#!/usr/bin/env bash
# Builds and runs the side-by-side benchmarks (bench/bench_*.cpp), installing the peer
# libraries they compare against when they are missing: pixman, OpenCV (only ever used here;
# the program and its tests never link it), Google Benchmark, and the picture decoders' own
# command-line tools (djpeg, and netpbm's pngtopam over libpng).
#
# Usage: bench/run.sh [BUILD_DIR] [-- extra Google Benchmark flags]
#   BUILD_DIR defaults to build-bench beside this script's folder.
#   Each program prints its table, then the ratios ours/peer of the median CPU times and
#   whether each target is met. Pass e.g. -- --benchmark_filter=Stretch to run part of it.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build-bench"
if [ $# -gt 0 ] && [ "$1" != "--" ]; then BUILD=$(realpath -m "$1"); shift; fi
[ "${1:-}" = "--" ] && shift

need=()
for p in libbenchmark-dev libpixman-1-dev libopencv-dev netpbm libjpeg-turbo-progs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DPICTORIA_BENCH=ON >/dev/null
programs=()
for source in "$ROOT"/bench/bench_*.cpp; do programs+=("$(basename "$source" .cpp)"); done
ninja -C "$BUILD" -j"$(nproc)" "${programs[@]}"

for program in "${programs[@]}"; do
    echo
    echo "==== $program $*"
    "$BUILD/bench/$program" "$@"
done
