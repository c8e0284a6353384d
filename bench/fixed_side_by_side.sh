#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fixed-size widgets beside the clock, under a real X server and window
# manager: exec-to-map time (in turns), idle CPU and peak memory of both
# running at the same time, and the calendar's CPU for one month change
# (click to repainted).
# Usage: bench/fixed_side_by_side.sh [BUILD_DIR]
#   (IDLE_SECONDS=60, MAP_RUNS=21, MONTH_CLICKS=200 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
MONTH_CLICKS=${MONTH_CLICKS:-200}
source "$(dirname "$0")/lib.sh"
start_x

echo "== exec to mapped window, side by side in turns (warm cache, ${MAP_RUNS:=21} runs each)"
source "$(dirname "$0")/mapcompare.sh"
map_side_by_side "$MAP_RUNS" "tavlo-clock" "$BIN/tavlo-clock" "tavlo-calendar" "$BIN/tavlo-calendar"


echo "== idle over $IDLE_SECONDS s, both running at once"
start_app "$BIN/tavlo-clock"
clock=$APP_PID
start_app "$BIN/tavlo-calendar"
calendar=$APP_PID
wait_window fapp_CLOCK >/dev/null || fail "no clock window"
cal_id=$(wait_window fapp_CALNDR) || fail "no calendar window"
sleep 3
idle_side_by_side "$IDLE_SECONDS" clock "$clock" calendar "$calendar"

echo "== month change: $MONTH_CLICKS clicks on > and <, in turns"
read -r wx wy ww _ <<<"$(geometry "$cal_id")"
px() { awk -v t="$1" -v w="$ww" 'BEGIN { printf "%d", t * w / 3285 + 0.5 }'; }
arrow_y=$((wy + $(px 90) + $(px 60) + $(px 270) / 2))
next_x=$((wx + $(px 90) + $(px 2790) + $(px 195) / 2))
back_x=$((wx + $(px 90) + $(px 135) + $(px 195) / 2))
# Idle rate over the same stretch first, to take off the ticks.
before=$(cpu_ns "$calendar")
start_ns=$(date +%s%N)
sleep 5
idle_rate=$(awk -v d="$(($(cpu_ns "$calendar") - before))" -v t="$(($(date +%s%N) - start_ns))" 'BEGIN { print d / t }')
before=$(cpu_ns "$calendar")
start_ns=$(date +%s%N)
for i in $(seq "$MONTH_CLICKS"); do
    if [ $((i % 2)) -eq 1 ]; then x=$next_x; else x=$back_x; fi
    xdotool mousemove "$x" "$arrow_y" click 1
    sleep 0.05
done
sleep 0.5
awk -v d="$(($(cpu_ns "$calendar") - before))" -v t="$(($(date +%s%N) - start_ns))" \
    -v r="$idle_rate" -v n="$MONTH_CLICKS" \
    'BEGIN { printf "calendar: %.2f ms of CPU per month change (%.1f ms in all, %.1f ms of it idle ticks)\n", (d - r * t) / n / 1e6, d / 1e6, r * t / 1e6 }'

for pid in "$clock" "$calendar"; do
    kill -TERM "$pid"
    wait_exit "$pid"
done
