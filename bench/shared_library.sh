#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What one shared library instead of seven static copies costs and saves:
# the stripped size of everything installed in bin/, lib/ and libexec/,
# against seven static programs; and exec-to-map of the installed clock
# against the same clock linked statically, side by side in turns.
# Usage: bench/shared_library.sh [BUILD_DIR]   (MAP_RUNS=21 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
BUILD=$(cd "$BUILD" && pwd)
source "$(dirname "$0")/../e2e/lib.sh"

root="$WORK/root"
DESTDIR="$root" cmake --install "$BUILD" --prefix /usr >/dev/null
find "$root/usr/bin" "$root/usr/lib" "$root/usr/libexec" -type f -exec strip --strip-unneeded {} +
cp "$BIN/tavlo_clock_static" "$WORK/static" && strip --strip-unneeded "$WORK/static"

kib() { du -k --apparent-size -c "$@" | tail -1 | cut -f1; }
shared=$(kib "$root"/usr/bin/* "$root"/usr/lib/tavlo/* "$root"/usr/libexec/tavlo/*)
static_one=$(kib "$WORK/static")
others=$(kib "$root"/usr/bin/tavloreg "$root"/usr/libexec/tavlo/*)
echo "== stripped size of the programs, their library and helper"
echo "shared library: $shared KiB  ($(kib "$root"/usr/lib/tavlo/libtavlo.so) KiB library," \
    "$(kib "$root"/usr/bin/tavlo-clock) KiB per program)"
echo "seven static:   $((7 * static_one + others)) KiB  ($static_one KiB per program)"
echo "installed tree: $(du -sk "$root/usr" | cut -f1) KiB on disk in $(find "$root/usr" -type f | wc -l) files"

# Beside the shared one, so both find the same helper.
mv "$WORK/static" "$root/usr/bin/tavlo-clock-static"

start_x
echo "== exec to mapped window, side by side in turns (warm cache, ${MAP_RUNS:=21} runs each)"
source "$(dirname "$0")/mapcompare.sh"
map_side_by_side "$MAP_RUNS" "shared library (installed)" "$root/usr/bin/tavlo-clock" \
    "static" "$root/usr/bin/tavlo-clock-static"
