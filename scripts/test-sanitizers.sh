#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the whole program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (g++) into build-asan/ (or $VARLOMIN_ASAN_BUILD_DIR) and runs the test suite there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARLOMIN_ASAN_BUILD_DIR:-$root/build-asan}
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARLOMIN_SANITIZE=ON >/dev/null
ninja -C "$build" -j2
export QT_QPA_PLATFORM=offscreen
# Qt's own caches live until exit: leaks are not what this run looks for.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j2 --timeout 900
