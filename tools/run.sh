#!/usr/bin/env bash
# Installs what is missing, builds Zentabo (Release), puts the sample book 家計簿2025 beside the
# program and starts it there, so that "家計簿を開く" starts in the folder that holds the book.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/tools/install-deps.sh"
build="$top/build-release"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENTABO_TESTS=OFF -DZENTABO_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target zentabo
program="$build/src/desktop"
# The book is made once; after that it is the user's, with whatever was entered into it.
if [ ! -e "$program/家計簿2025/家計簿2025.txt" ]; then
  python3 "$top/tools/make_sample_book.py" "$program"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show the window on (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Built: $program/zentabo" >&2
  exit 1
fi
cd "$program"
exec ./zentabo
