#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60). Any crash, leak or time-out fails the run.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
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
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/" "${args[@]}" 2>&1 | tail -n 12
done
