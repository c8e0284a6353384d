#!/usr/bin/env bash
# Measures the clock the way a user runs it: under a real X server and window
# manager. Prints exec-to-map time, idle CPU, peak memory and instructions per
# tick, beside a bare Qt label clock.
# Usage: bench/run.sh [BUILD_DIR]   (IDLE_SECONDS=60, MAP_RUNS=21 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
source "$(dirname "$0")/../e2e/lib.sh"
start_x

echo "== micro-benchmarks"
"$BIN/tavlo_bench" --benchmark_min_time=0.2 2>/dev/null | grep -E '^BM_'

echo "== exec to mapped window, side by side in turns (warm cache, ${MAP_RUNS:=21} runs each)"
source "$(dirname "$0")/mapcompare.sh"
map_side_by_side "$MAP_RUNS" "bare Qt label clock" "$BIN/tavlo_refclock" "tavlo-clock" "$BIN/tavlo-clock"

cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
# Idle CPU and peak memory of one program, measured over IDLE_SECONDS.
measure_idle() {
    local label=$1 before after
    shift
    start_app "$@"
    sleep 3
    before=$(cpu_ns "$APP_PID")
    sleep "$IDLE_SECONDS"
    after=$(cpu_ns "$APP_PID")
    awk -v l="$label" -v b="$before" -v a="$after" -v s="$IDLE_SECONDS" \
        -v m="$(awk '/VmHWM/{print $2}' "/proc/$APP_PID/status")" \
        'BEGIN { printf "%-22s CPU %.3f %% of one core (%.1f ms in %d s), VmHWM %.1f MiB\n", l, (a - b) / (s * 1e7), (a - b) / 1e6, s, m / 1024 }'
    kill -TERM "$APP_PID"
    wait_exit "$APP_PID"
}

echo "== idle over $IDLE_SECONDS s, side by side"
measure_idle "tavlo-clock" "$BIN/tavlo-clock"
measure_idle "bare Qt label clock" "$BIN/tavlo_refclock"
command -v xclock >/dev/null && measure_idle "xclock -update 1" xclock -update 1

if command -v valgrind >/dev/null && command -v callgrind_control >/dev/null; then
    echo "== instructions per steady tick (callgrind, 20 ticks)"
    out="$WORK/callgrind.out"
    valgrind --tool=callgrind --callgrind-out-file="$out.%p" "$BIN/tavlo-clock" >"$WORK/valgrind.log" 2>&1 &
    PIDS+=($!)
    vg=$!
    wait_window fapp_CLOCK >/dev/null || fail "no clock window under valgrind"
    sleep 5
    callgrind_control -z "$vg" >/dev/null
    sleep 10
    callgrind_control -d "$vg" >/dev/null
    sleep 1
    total=$(grep -h '^totals:' "$out.$vg".* 2>/dev/null | tail -1 | awk '{print $2}')
    [ -n "$total" ] && echo "$total instructions in 10 s: $((total / 20)) per tick"
    kill -TERM "$vg"
    wait_exit "$vg"
fi
