#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Exports a fixed set of pictures with two builds of varlomin and compares them byte for
# byte: every plane, several images and zooms, the --show words, selections and searches,
# with the default settings and with a configuration that switches on other symbols.
#
#   tools/compare-pictures.sh BUILD_A BUILD_B [PROJECT_FILE...]
#
# BUILD_A and BUILD_B are build directories (or varlomin executables). Without project
# files, examples/demo.pro and every project in ../shared/data/patb/ (when present) are used.
# Prints every difference and exits 1 when there is one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() { echo "usage: $0 BUILD_A BUILD_B [PROJECT_FILE...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
executable() { if [ -x "$1/bin/varlomin" ]; then echo "$1/bin/varlomin"; elif [ -x "$1" ]; then echo "$1"; fi; }
a=$(executable "$1"); b=$(executable "$2")
[ -n "$a" ] && [ -n "$b" ] || { echo "$0: no varlomin in '$1' or '$2'" >&2; exit 2; }
shift 2

projects=("$@")
if [ ${#projects[@]} -eq 0 ]; then
    projects=("$root/examples/demo.(p)")
    for p in "$root"/../shared/data/patb/*/*.\(p\) /work/shared/data/patb/*/*.\(p\); do
        [ -f "$p" ] && projects+=("$(readlink -f "$p")")
    done
    mapfile -t projects < <(printf '%s\n' "${projects[@]}" | awk '!seen[$0]++')
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# No user configuration: the default settings, unless a job names --config.
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen
mkdir -p "$work/config" "$work/runtime" "$work/a" "$work/b"
chmod 700 "$work/runtime"
varied="$work/varied.cfg"
cat >"$varied" <<'EOF'
[ImageViewer]
BG_Color=#f0f0e0
PointIdsOn=true
BlundersOn=true
Scale=250
LargestResidualSize=4
[ObjectViewer]
BG_Color=#202040
BlundersOn=true
Scale=20
[Links]
LinkLineType=1
[Points]
PointSymbol_0=1
PointSize_0=8
PointColor_0=#00c000
PointSymbol_1=2
PointSize_1=11
PointSymbol_2=2
PointSize_2=4
PointColor_3=#8000ff80
PointSymbol_4=1
PointSize_4=9
PointOn_5=false
MarkColor=#00ffff
MarkSize=3
BlunderColor=#ff8000
BlunderSize=3
EOF

jobs=()   # one line of arguments per export, "|"-separated; the picture name comes first
add() { local IFS='|'; jobs+=("$*"); }

plan_project() {
    local n=$1 project=$2 report
    report=$("$a" --report "$project" 2>/dev/null)
    local ids inversion points
    ids=$(jq -r '.images[].id' <<<"$report" 2>/dev/null)
    inversion=$(jq -r '.inversion' <<<"$report" 2>/dev/null)
    points=$(jq -r '[.object_points[] | select(.code < 1000)] | .[0].id, .[-1].id' <<<"$report" 2>/dev/null)
    local first last
    first=$(head -1 <<<"$points"); last=$(tail -1 <<<"$points")
    local images
    images=$( (head -2 <<<"$ids"; tail -1 <<<"$ids") | awk 'NF && !seen[$0]++')
    local img
    for img in $images; do
        add "$n-image$img-100.png" --export "image:$img" --zoom 100 "$project"
        add "$n-image$img-37-all.png" --export "image:$img" --zoom 37 \
            --show ids,links,residuals,blunders "$project"
        add "$n-image$img-250-values.png" --export "image:$img" --zoom 250 \
            --show residual-values,residuals "$project"
        add "$n-image$img-varied.png" --config "$varied" --export "image:$img" --zoom 140 \
            --show links,residual-values "$project"
    done
    img=$(head -1 <<<"$ids")
    add "$n-image$img.svg" --export "image:$img" --show ids,residuals "$project"
    add "$n-image$img-3000.png" --export "image:$img" --zoom 3000 --show ids,residuals "$project"

    local plane
    for plane in xy xz yz; do
        add "$n-$plane-100.png" --export "object:$plane" "$project"
        add "$n-$plane-all.png" --export "object:$plane" --zoom 120 --select all \
            --show ids,image-ids,links,blunders,residuals,connections "$project"
        add "$n-$plane-varied.png" --config "$varied" --export "object:$plane" --zoom 80 --select all \
            --show residual-values,residuals,ids "$project"
    done
    add "$n-xy-10.png" --export object:xy --zoom 10 --select all --show ids "$project"
    add "$n-xy-450.png" --export object:xy --zoom 450 --show blunders "$project"
    add "$n-xy.svg" --export object:xy --select all --show ids,links "$project"
    if [ "$inversion" = true ]; then
        add "$n-xz-sigmas.png" --export object:xz --zoom 150 --select all --show sigmas,sigma-values "$project"
        add "$n-xy-sigmas-varied.png" --config "$varied" --export object:xy --select all \
            --show sigmas,sigma-values,image-ids "$project"
        add "$n-search-sigmas.png" --export object:xy --search sigmas::0.5 --show sigmas "$project"
    fi
    for img in $images; do
        add "$n-select-image$img.png" --export object:xy --select "image:$img" \
            --show ids,connections,links "$project"
    done
    local search
    local searches=("point-id:$first:$((first + 40))" "point-id:1*::pattern" "point-id:??????3::pattern"
        "image-id:$(head -1 <<<"$ids"):$(tail -1 <<<"$ids")" "links:3:" "links::2" "residuals:0.01:"
        "residuals::0.001" "blunder" "point-code:1000000" "point-code:0000110" "point-code:0111111")
    for search in "${searches[@]}"; do
        add "$n-search-${search//[:?*]/_}.png" --export object:xy --search "$search" \
            --show ids,residuals,connections,image-ids "$project"
    done
    add "$n-search-varied.png" --config "$varied" --export object:yz --zoom 200 \
        --search "point-id:$first:$last" --show links,residual-values "$project"
}

n=0
for project in "${projects[@]}"; do
    n=$((n + 1))
    plan_project "p$n" "$project"
done

differences=0
for job in "${jobs[@]}"; do
    IFS='|' read -r -a args <<<"$job"
    name=${args[0]}
    unset 'args[0]'
    # Both write to the same path, so that messages naming it compare equal.
    out="$work/picture.${name##*.}"
    rm -f "$out"; "$a" "${args[@]}" --out "$out" >"$work/a/$name.log" 2>&1; status_a=$?
    [ -f "$out" ] && mv "$out" "$work/a/$name"
    rm -f "$out"; "$b" "${args[@]}" --out "$out" >"$work/b/$name.log" 2>&1; status_b=$?
    [ -f "$out" ] && mv "$out" "$work/b/$name"
    if [ $status_a -ne $status_b ] || ! cmp -s "$work/a/$name.log" "$work/b/$name.log"; then
        echo "DIFFERENT exit or message: $name (${args[*]}): $status_a against $status_b"
        differences=$((differences + 1))
    elif [ $status_a -eq 0 ] && ! cmp -s "$work/a/$name" "$work/b/$name"; then
        echo "DIFFERENT picture: $name (${args[*]})"
        differences=$((differences + 1))
    fi
    [ $status_a -eq 0 ] || echo "note: $name exits $status_a in both: $(head -c 200 "$work/a/$name.log")"
done
echo "${#jobs[@]} exports compared for ${#projects[@]} projects, $differences different"
[ $differences -eq 0 ]
