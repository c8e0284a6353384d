#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures widget programs side by side under one X server and window manager:
# exec to mapped window (in turns), idle CPU and peak memory (all running over
# the same seconds), and under callgrind the instructions of an idle tick and,
# for the calculator, of a key click.
# Usage: bench/compare.sh [BUILD_DIR] [PROGRAM...]
#   programs default to tavlo-clock tavlo-calculator; the first is the reference.
#   IDLE_SECONDS=60 MAP_RUNS=21 CLICKS=40 by default.
BUILD=${1:-build}
shift || true
BIN=$(cd "$BUILD/bin" && pwd)
if [ $# -gt 0 ]; then PROGRAMS=("$@"); else PROGRAMS=(tavlo-clock tavlo-calculator); fi
IDLE_SECONDS=${IDLE_SECONDS:-60}
CLICKS=${CLICKS:-40}
source "$(dirname "$0")/lib.sh"
start_x

role_of() {
    case "$1" in
    tavlo-calculator) echo fapp_CALC ;;
    tavlo-calendar) echo fapp_CALNDR ;;
    *) echo fapp_CLOCK ;;
    esac
}

echo "== exec to mapped window, in turns (warm cache, ${MAP_RUNS:=21} runs each)"
source "$(dirname "$0")/mapcompare.sh"
pairs=()
for p in "${PROGRAMS[@]}"; do pairs+=("$p" "$BIN/$p"); done
map_side_by_side "$MAP_RUNS" "${pairs[@]}"

echo "== idle over $IDLE_SECONDS s, all running at once"
pids=()
for p in "${PROGRAMS[@]}"; do
    start_app "$BIN/$p"
    pids+=("$APP_PID")
done
sleep 3
pairs=()
for i in "${!pids[@]}"; do pairs+=("${PROGRAMS[$i]}" "${pids[$i]}"); done
idle_side_by_side "$IDLE_SECONDS" "${pairs[@]}"
for pid in "${pids[@]}"; do kill -TERM "$pid"; done
for pid in "${pids[@]}"; do wait_exit "$pid"; done

command -v valgrind >/dev/null && command -v callgrind_control >/dev/null || exit 0

# Instructions counted since the last zero or dump, from a new dump.
dumped() {
    local vg=$1 n
    callgrind_control -d "$vg" >/dev/null 2>&1
    sleep 1
    n=$(ls -t "$WORK/cg.$vg".* 2>/dev/null | head -1)
    grep -h '^totals:' "$n" | awk '{print $2}'
}

echo "== instructions under callgrind (20 idle ticks; $CLICKS clicks on the calculator's 5)"
for p in "${PROGRAMS[@]}"; do
    valgrind --tool=callgrind --callgrind-out-file="$WORK/cg.%p" "$BIN/$p" >"$WORK/valgrind.log" 2>&1 &
    vg=$!
    PIDS+=("$vg")
    id=""
    for _ in 1 2 3 4 5 6; do id=$(wait_window "$(role_of "$p")") && break; done
    [ -n "$id" ] || fail "no $p window under valgrind"
    sleep 5
    callgrind_control -z "$vg" >/dev/null 2>&1
    sleep 10
    idle=$(dumped "$vg")
    echo "$p: $idle instructions in 10 s idle: $((idle / 20)) per tick"
    if [ "$p" = tavlo-calculator ]; then
        read -r x y _ _ <<<"$(geometry "$id")"
        # The 5 key: strip at 45, 945 twips, key at 855, 1035, 555 x 285.
        pointer_to $((x + (45 + 855 + 277) / 15)) $((y + (945 + 1035 + 142) / 15))
        sleep 1
        callgrind_control -z "$vg" >/dev/null 2>&1
        start_ns=$(date +%s%N)
        for _ in $(seq "$CLICKS"); do
            xdotool click 1
            sleep 0.2
        done
        clicked=$(dumped "$vg")
        seconds=$(awk -v a="$start_ns" -v b="$(date +%s%N)" 'BEGIN { print (b - a) / 1e9 }')
        awk -v t="$clicked" -v i="$idle" -v s="$seconds" -v n="$CLICKS" 'BEGIN {
            extra = t - i * s / 10
            printf "%s: %d instructions in %.1f s with %d clicks: %d per click beyond the idle ticks\n", "tavlo-calculator", t, s, n, extra / n }'
    fi
    kill -TERM "$vg"
    wait_exit "$vg"
done
