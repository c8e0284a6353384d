#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The generated menu entries, software-centre pages and manual pages pass
# the checkers the distributions run on them.
BUILD=${1:?usage: $0 BUILD_DIR}
set -euo pipefail
failed=0
report() {
    echo "FAIL: $*" >&2
    failed=1
}

count=0
for desktop in "$BUILD"/data/applications/*.desktop; do
    out=$(desktop-file-validate "$desktop" 2>&1) || report "$desktop: $out"
    [ -z "$out" ] || report "$desktop: $out"
    count=$((count + 1))
done
[ "$count" -eq 7 ] || report "$count menu entries, not 7"

for metainfo in "$BUILD"/data/metainfo/*.metainfo.xml; do
    out=$(appstreamcli validate --no-net --explain "$metainfo" 2>&1) || report "$metainfo: $out"
    echo "$out" | grep -qE '^(E|W|I):' && report "$metainfo: $out"
done

for page in "$BUILD"/docs/man/*.1.gz; do
    out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) ||
        report "$page: man failed"
    [ -z "$out" ] || report "$page: $out"
done
[ "$(ls "$BUILD"/docs/man/*.1.gz | wc -l)" -eq 8 ] || report "not 8 manual pages"

[ "$failed" -eq 0 ] && echo "ok: 7 menu entries, 7 metainfo files, 8 manual pages"
exit "$failed"
