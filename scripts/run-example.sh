#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts Varlomin on the bundled example project,
# found the way PAT-B's users find theirs: Pat.ini in %windir% names the current project.
# Without a display it says so and writes the example's report and pictures instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
bin="${VARLOMIN_BUILD_DIR:-$root/build}/bin/varlomin"
cd "$root"
export windir="$root/examples"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin" -p
fi

echo "No display found (DISPLAY is not set): the window cannot be shown here."
out="$root/out"
mkdir -p "$out"
project=$(ls "$root"/examples/*.\(p\) | head -n 1)
echo "Writing the example's report and pictures to $out instead:"
"$bin" --report "$project" > "$out/report.json"
echo "  $out/report.json"
first_image=1001 # the example's first image
"$bin" --export image:$first_image --out "$out/image-$first_image.png" --show ids,residuals "$project"
echo "  $out/image-$first_image.png"
for plane in xy xz yz; do
  "$bin" --export "object:$plane" --out "$out/object-$plane.png" "$project"
  echo "  $out/object-$plane.png"
done
