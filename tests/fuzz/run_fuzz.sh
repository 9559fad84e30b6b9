#!/usr/bin/env bash
# Runs one fuzz target for a while over a scratch copy of its corpus, so the corpus in the
# repository stays as it is. A crash fails the run and is kept as crash-* in the current folder.
#   run_fuzz.sh TARGET CORPUS SECONDS
set -euo pipefail
target=$1 corpus=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/corpus"
cp -r "$corpus"/. "$scratch/corpus"/
dict=$(dirname "$corpus")/../$(basename "$target").dict
options=(-max_total_time="$seconds" -print_final_stats=1 -max_len=16384 -rss_limit_mb=2048 -artifact_prefix="$PWD/")
export LSAN_OPTIONS=suppressions=$(dirname "$0")/lsan.supp
[ -f "$dict" ] && options+=(-dict="$dict")
if "$target" "${options[@]}" "$scratch/corpus" > "$scratch/log" 2>&1; then
  grep '^stat::' "$scratch/log"
else
  grep -v '^#[0-9]' "$scratch/log"
  exit 1
fi
