#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets of the readers with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time:
#   ./scripts/fuzz.sh [seconds-per-target] [target ...]
# Seeds come from the example-block generator at every run; what a run learns is kept in
# <build>/corpus. A crash, a sanitizer report, a hang or running out of memory fails the run
# and leaves the input in <build>/artifacts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARLOMIN_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(fuzz_ini fuzz_project fuzz_images fuzz_objects fuzz_camera fuzz_snavely
  fuzz_colmap)

# Per input: at most 10 s and 2 GB, far beyond what any seed needs.
timeout_seconds=10
rss_limit_mb=2048
max_len=65536

cmake -G Ninja -S "$root/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
ninja -C "$build" -j2 fuzz_seeds "${targets[@]}"

rm -rf "$build/seeds"
QT_QPA_PLATFORM=offscreen "$build/fuzz_seeds" "$build/seeds"
mkdir -p "$build/artifacts"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

failed=()
summary=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus="$build/corpus/$name"
  log="$build/$target.log"
  mkdir -p "$corpus"
  echo "== $target: $seconds s"
  if "$build/$target" -max_total_time="$seconds" -timeout=$timeout_seconds -rss_limit_mb=$rss_limit_mb \
       -max_len=$max_len -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
       "$corpus" "$build/seeds/$name" </dev/null >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed+=("$target")
    tail -n 40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-14s %-7s %10s runs  corpus %s' "$target" "$result" "${runs:-?}" "$(ls "$corpus" | wc -l)")")
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]} (inputs in $build/artifacts)"
  exit 1
fi
