#!/usr/bin/env bash
# Makes docs/*.png from the real program: builds the screenshot tool (Release), writes the
# sample book into a temporary folder, opens it offscreen and grabs the windows.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
build="$top/build-release"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENTABO_TESTS=OFF -DZENTABO_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target zentabo_screenshots
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$top/tools/make_sample_book.py" "$work"
mkdir -p "$top/docs"
cd "$work"
QT_QPA_PLATFORM=offscreen "$build/src/desktop/zentabo_screenshots" "$work/家計簿2025/家計簿2025.txt" "$top/docs"
ls -l "$top/docs"/*.png
