#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package varlomin_<version>_amd64.deb in build-pkg/ (Release, without the
# tests), checks it with lintian and scripts/check-package.sh, and prints its path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARLOMIN_PKG_BUILD_DIR:-$root/build-pkg}
cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARLOMIN_BUILD_TESTS=OFF >/dev/null
ninja -C "$build" ${VARLOMIN_JOBS:+-j "$VARLOMIN_JOBS"}
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/varlomin_*_amd64.deb | head -n 1)
echo "lintian:"
lintian --fail-on error "$deb"
"$root/scripts/check-package.sh" "$deb"
echo "$deb"
