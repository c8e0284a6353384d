#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Exec-to-map time of the clock beside the bare Qt label clock, measured in
# turns: with the shipped web root (here without network), without the update
# check, and against a version server on loopback that refuses the port,
# answers, or accepts and never answers.
# Usage: bench/update_startup.sh [BUILD_DIR]   (MAP_RUNS=21 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/mapcompare.sh"
start_x
PORT=47815
RUNS=${MAP_RUNS:-21}

echo "== shipped web root, no update check, port refused (${RUNS} runs each)"
map_side_by_side "$RUNS" "bare Qt label clock" "$BIN/tavlo_refclock" \
    "tavlo-clock (shipped web root)" "$BIN/tavlo-clock" \
    "no update check" "$BIN/tavlo_clock_nocheck" \
    "port refused" "$BIN/tavlo_clock_loopback"
for mode in answer silent; do
    "$BIN/tavlo_versionserver" "$PORT" "$mode" &
    server=$!
    PIDS+=("$server")
    sleep 0.3
    echo "== version server: $mode"
    map_side_by_side "$RUNS" "bare Qt label clock" "$BIN/tavlo_refclock" \
        "version server: $mode" "$BIN/tavlo_clock_loopback"
    kill "$server"
    wait "$server" 2>/dev/null || true
done
