#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Unpacks a varlomin .deb into a temporary folder, lists it, validates its desktop entry and
# AppStream data, and runs the unpacked program's --version, its window's start (the full program
# in lib/varlomin/) and --report on the example.
set -euo pipefail
deb=${1:?usage: check-package.sh varlomin_VERSION_amd64.deb}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
echo "contents of $deb:"
(cd "$tmp" && find . -type f -o -type d -empty | sort)
echo "depends: $(dpkg-deb -f "$deb" Depends)"
desktop-file-validate "$tmp"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$tmp"/usr/share/metainfo/*.metainfo.xml
"$tmp/usr/bin/varlomin" --version
# The window is the full program's, which the launcher finds in lib/varlomin/ (here it says that
# there is no display).
gui=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/usr/bin/varlomin" -p 2>&1 || true)
grep -q 'no display found' <<<"$gui" || { echo "check-package: the window program did not start: $gui" >&2; exit 1; }
report=$("$tmp/usr/bin/varlomin" --report "$tmp/usr/share/doc/varlomin/examples/demo.(p)")
printf '%s ...\n' "${report:0:400}"
grep -q '"images"' <<<"$report" || { echo "check-package: the report has no images" >&2; exit 1; }
# The man page names every option that --help names.
man=$(zcat "$tmp/usr/share/man/man1/varlomin.1.gz")
for option in $("$tmp/usr/bin/varlomin" --help | grep -o -- '--[a-z-]*' | sort -u); do
    grep -q -- "${option//-/\\\\-}" <<<"$man" || { echo "check-package: the man page lacks $option" >&2; exit 1; }
done
echo "check-package: ok"
