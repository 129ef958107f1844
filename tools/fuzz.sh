#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60). Any crash, leak or time-out fails the run, and its report is printed whole.
# Each run takes a new random seed, printed at its start; ZENTABO_FUZZ_SEED sets one. (A seed
# does not make a run repeat exactly: the targets' scratch files and hash tables vary the
# coverage that steers the mutations.)
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
seed="${ZENTABO_FUZZ_SEED:-0}"
build="$top/build-fuzz"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZENTABO_FUZZ=ON -DZENTABO_DESKTOP=OFF
cmake --build "$build" -j"$(nproc)"
for target in "$build"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  seeds="$top/fuzz/seeds/${name%_fuzz}"
  echo "== $name for ${seconds}s"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  log="$build/$name.log"
  if ! "$target" -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/" "${args[@]}" >"$log" 2>&1; then
    grep -m1 '^INFO: Seed:' "$log" || true
    grep -v -e '^#[0-9]' -e '^INFO:' "$log" | tail -n 80
    exit 1
  fi
  tail -n 6 "$log"
done
