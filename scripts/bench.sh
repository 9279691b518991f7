#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (Release), generates the example blocks S, E and M (and L with --large)
# and measures them and the real projects in ../shared/data/patb, one row per block, each
# figure against a floor measured in the same run. Ends with one summary line.
#   ./scripts/bench.sh [--large]
# BENCH_BUILD_DIR chooses another build directory (default build-bench in the repository).
# BENCH_DATA_DIR keeps the generated blocks there and reuses them in later runs (default: a
# temporary directory, removed at the end).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BENCH_BUILD_DIR:-$root/build-bench}"
large=0
for arg in "$@"; do
  case "$arg" in
    --large) large=1 ;;
    *) echo "usage: $0 [--large]" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$build" -j2 varlomin varlomin-blockgen varlomin-bench varlomin-bench-stats >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
data="${BENCH_DATA_DIR:-$work}"
mkdir -p "$data"
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config" # default settings, the user's configuration untouched
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
bin="$build/bin"

# name images points observations; E is the block of the command-line goals (export, report),
# M the one of the view's goals.
blocks=("S 300 50000 300000" "E 2000 500000 1350000" "M 2000 500000 3000000")
[ "$large" -eq 1 ] && blocks+=("L 10000 2000000 15000000")

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | xargs)," \
     "$(awk '/MemTotal/ {printf "%.1f GiB RAM", $2 / 1048576}' /proc/meminfo)"
"$bin/varlomin-bench" --header
summary="$work/goals"
: >"$summary"
for block in "${blocks[@]}"; do
  read -r name images points observations <<<"$block"
  if [ ! -f "$data/$name/$name.(p)" ]; then
    "$bin/varlomin-blockgen" --images "$images" --points "$points" --observations "$observations" \
      --seed 1 --out "$data/$name" --name "$name" >/dev/null
  fi
  goals=()
  [ "$name" = M ] && goals=(--goals view)
  [ "$name" = E ] && goals=(--goals export)
  repeat=5
  [ "$name" = L ] && repeat=2
  "$bin/varlomin-bench" --name "$name" "${goals[@]}" --repeat "$repeat" --varlomin "$bin/varlomin" \
    "$data/$name/$name.(p)" | tee -a "$summary" | grep -v '^GOALS'
  if [ "$name" != E ]; then
    statsGoals=()
    [ "$name" = M ] && statsGoals=(--goals)
    "$bin/varlomin-bench-stats" --name "$name" "${statsGoals[@]}" --repeat "$repeat" --varlomin "$bin/varlomin" \
      "$data/$name/$name.(p)" >>"$work/stats"
  fi
  [ -n "${BENCH_DATA_DIR:-}" ] || rm -rf "${work:?}/$name"
done
for project in "$root"/../shared/data/patb/*/*.\(p\); do
  [ -f "$project" ] || continue
  "$bin/varlomin-bench" --name "$(basename "$project" .\(p\))" --varlomin "$bin/varlomin" "$project"
done

echo
"$bin/varlomin-bench-stats" --header
cat "$work/stats"
met=0 total=0 missed=()
while read -r _ block blockMet blockTotal blockMissed; do
  met=$((met + blockMet))
  total=$((total + blockTotal))
  [ -n "${blockMissed:-}" ] && missed+=("$block: $blockMissed")
done < <(grep '^GOALS' "$summary" || true)
if [ "$met" -eq "$total" ] && [ "$total" -gt 0 ]; then
  echo "Summary: all $total goals met (view on M, export and report on E)."
else
  echo "Summary: $met of $total goals met; missed: $(IFS=';'; echo "${missed[*]:-none}")."
fi
