#!/usr/bin/env bash
# Exec-to-map time of the clock with the start-up update check against a
# version server on loopback: answering, refusing the port, accepting and
# never answering; and without the check. Usage: bench/update_startup.sh [BUILD_DIR]
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
source "$(dirname "$0")/../e2e/lib.sh"
start_x
PORT=47815

measure() {
    local label=$1 program=$2 times
    "$BIN/tavlo_mapwait" "$program" >/dev/null
    times=$(for _ in $(seq 7); do "$BIN/tavlo_mapwait" "$program"; done | sort -n)
    echo "$label: min $(echo "$times" | head -1)  median $(echo "$times" | sed -n 4p)  max $(echo "$times" | tail -1) ms"
}

measure "no update check        " "$BIN/tavlo_clock_nocheck"
measure "port refused           " "$BIN/tavlo_clock_loopback"
for mode in answer silent; do
    "$BIN/tavlo_versionserver" "$PORT" "$mode" &
    server=$!
    PIDS+=("$server")
    sleep 0.3
    measure "version server: $mode  " "$BIN/tavlo_clock_loopback"
    kill "$server"
    wait "$server" 2>/dev/null || true
done
