#!/usr/bin/env bash
# zentabo-cli against ledger(1) on the same transactions, end to end as processes:
#   bash bench/cli_vs_ledger.sh [LINES] [RUNS]
# Builds the Release tool in build-rel, generates a book of LINES journal lines (default one
# million), writes the same transactions as a ledger journal, and prints the median wall
# time, CPU time and peak memory of `ledger bal`, `zentabo-cli balance`, `zentabo-cli table`
# and `zentabo-cli check`. Needs the Debian package ledger (for the comparison only).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
lines="${1:-1000000}"
runs="${2:-3}"
build="$top/build-rel"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZENTABO_TESTS=OFF >/dev/null
cmake --build "$build" --target zentabo-cli open_book -j2 >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/bench/open_book" generate "$work/book" "$lines" >/dev/null
python3 "$top/bench/ledger_journal.py" "$work/book" "$work/book.ledger"

measure() {  # name, command...: the medians over $runs runs
  local name="$1"; shift
  local times=() cpus=() peaks=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>&1 || true
    read -r wall user sys peak <"$work/time"
    times+=("$wall"); cpus+=("$(echo "$user + $sys" | bc)"); peaks+=("$peak")
  done
  median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
  printf '%-22s %8s s wall %8s s cpu %8s MB\n' "$name" "$(median "${times[@]}")" \
    "$(median "${cpus[@]}")" "$(( $(median "${peaks[@]}") / 1024 ))"
}

echo "$lines journal lines, median of $runs runs"
measure "ledger bal" ledger -f "$work/book.ledger" bal
measure "zentabo-cli balance" "$build/src/cli/zentabo-cli" balance "$work/book/book.txt"
measure "zentabo-cli table" "$build/src/cli/zentabo-cli" table "$work/book/book.txt"
measure "zentabo-cli check" "$build/src/cli/zentabo-cli" check "$work/book/book.txt"
