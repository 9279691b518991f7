#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the tests of the code that runs on worker threads with ThreadSanitizer (g++) into
# build-tsan/ (or $VARLOMIN_TSAN_BUILD_DIR) and runs them. Only those targets are built, so
# that the run stays short.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARLOMIN_TSAN_BUILD_DIR:-$root/build-tsan}
# Object views painting on a worker thread, and pictures painted in bands on several; the statistics' image and object passes side by side;
# the (o) file and the later part of (i) read on workers beside the reading thread, point codes
# given on two threads; PNG rows
# filtered on a worker while zlib compresses.
tests=(tst_objectrender tst_objectview tst_statistics tst_patb tst_hostile_readers tst_pngwriter)
areas="objectviewer;statistics;patb;hostile;framework"
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARLOMIN_SANITIZE_THREAD=ON \
    "-DVARLOMIN_TEST_AREAS=$areas" >/dev/null
ninja -C "$build" -j2 "${tests[@]}"
export QT_QPA_PLATFORM=offscreen
# Qt, fontconfig and HarfBuzz are not instrumented: their own locks are invisible to the
# sanitizer, so only accesses from our code are judged.
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1}
regex=$(IFS='|'; echo "^(${tests[*]})\$")
ctest --test-dir "$build" --output-on-failure -j2 --timeout 900 -R "$regex"
