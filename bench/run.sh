#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the clock the way a user runs it: under a real X server and window
# manager. Prints exec-to-map time, idle CPU, peak memory and instructions per
# tick, beside a bare Qt label clock.
# Usage: bench/run.sh [BUILD_DIR]   (IDLE_SECONDS=60, WARM_SECONDS=65, MAP_RUNS=21 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
source "$(dirname "$0")/lib.sh"
start_x

echo "== micro-benchmarks"
"$BIN/tavlo_bench" --benchmark_min_time=0.2 2>/dev/null | grep -E '^BM_'

echo "== exec to mapped window, side by side in turns (warm cache, ${MAP_RUNS:=21} runs each)"
source "$(dirname "$0")/mapcompare.sh"
map_side_by_side "$MAP_RUNS" "bare Qt label clock" "$BIN/tavlo_refclock" "tavlo-clock" "$BIN/tavlo-clock"

# Idle CPU and peak memory of programs run at the same time, measured over the
# same IDLE_SECONDS once each has run WARM_SECONDS (a clock left on screen has
# shown every caption of its seconds by then). Arguments: LABEL COMMAND pairs.
measure_idle() {
    local pids=() labels=() i
    while [ $# -ge 2 ]; do
        start_app $2
        pids+=("$APP_PID")
        labels+=("$1")
        shift 2
    done
    sleep "${WARM_SECONDS:-65}"
    local pairs=()
    for i in "${!pids[@]}"; do pairs+=("${labels[i]}" "${pids[i]}"); done
    idle_side_by_side "$IDLE_SECONDS" "${pairs[@]}"
    for i in "${!pids[@]}"; do
        kill -TERM "${pids[i]}"
        wait_exit "${pids[i]}"
    done
}

echo "== idle over $IDLE_SECONDS s, all at once, every thread counted"
programs=("tavlo-clock" "$BIN/tavlo-clock" "bare Qt label clock" "$BIN/tavlo_refclock")
command -v xclock >/dev/null && programs+=("xclock -update 1" "xclock -update 1")
measure_idle "${programs[@]}"

if command -v valgrind >/dev/null && command -v callgrind_control >/dev/null; then
    echo "== instructions per steady tick (callgrind, 20 ticks)"
    out="$WORK/callgrind.out"
    valgrind --tool=callgrind --callgrind-out-file="$out.%p" "$BIN/tavlo-clock" >"$WORK/valgrind.log" 2>&1 &
    PIDS+=($!)
    vg=$!
    wait_window fapp_CLOCK >/dev/null || fail "no clock window under valgrind"
    sleep "${WARM_SECONDS:-65}"
    callgrind_control -z "$vg" >/dev/null
    sleep 10
    callgrind_control -d "$vg" >/dev/null
    sleep 1
    total=$(grep -h '^totals:' "$out.$vg".* 2>/dev/null | tail -1 | awk '{print $2}')
    [ -n "$total" ] && echo "$total instructions in 10 s: $((total / 20)) per tick"
    kill -TERM "$vg"
    wait_exit "$vg"
fi
