#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The stopwatch and the timer beside the clock, all running over the same
# seconds under one X server and window manager: CPU and peak memory of the
# clock, an idle stopwatch, a running stopwatch, an idle timer and a
# counting timer.
# Usage: bench/counting_side_by_side.sh [BUILD_DIR]   (IDLE_SECONDS=60 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
source "$(dirname "$0")/lib.sh"
start_x

# Each program keeps its settings apart, so two stopwatches need two homes.
start_in() {
    local home="$WORK/$1"
    shift
    mkdir -p "$home/config" "$home/data"
    XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$@" >"$home.log" 2>&1 &
    APP_PID=$!
    PIDS+=("$APP_PID")
}
# The id of the Nth mapped window of ROLE, waiting up to 10 s.
nth_window() {
    local id
    for _ in $(seq 200); do
        id=$(windows_of "$1" | sed -n "$2p")
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.05
    done
    return 1
}

names=(clock stopwatch-idle stopwatch-running timer-idle timer-counting)
start_in clock "$BIN/tavlo-clock"; pids=("$APP_PID")
wait_window fapp_CLOCK >/dev/null || fail "no clock"
start_in sw1 "$BIN/tavlo-stopwatch"; pids+=("$APP_PID")
nth_window fapp_SWATCH 1 >/dev/null || fail "no first stopwatch"
start_in sw2 "$BIN/tavlo-stopwatch"; pids+=("$APP_PID")
running_sw=$(nth_window fapp_SWATCH 2) || fail "no second stopwatch"
start_in tm1 "$BIN/tavlo-timer"; pids+=("$APP_PID")
nth_window fapp_TIMER 1 >/dev/null || fail "no first timer"
start_in tm2 "$BIN/tavlo-timer"; pids+=("$APP_PID")
counting_tm=$(nth_window fapp_TIMER 2) || fail "no second timer"
# The running stopwatch and a timer counting down from 99 minutes.
xdotool windowactivate --sync "$running_sw"; sleep 0.5; xdotool key space
xdotool windowactivate --sync "$counting_tm"; sleep 0.5; xdotool key Tab Tab ctrl+a 9 9 Return
sleep 3

echo "== over $IDLE_SECONDS s, all running at once"
pairs=()
for i in "${!pids[@]}"; do pairs+=("${names[$i]}" "${pids[$i]}"); done
idle_side_by_side "$IDLE_SECONDS" "${pairs[@]}"
xdotool windowactivate --sync "$running_sw"; sleep 0.5; xdotool key ctrl+c; sleep 0.3
echo "the running stopwatch reads $(xclip -o -selection clipboard) at the end"
for pid in "${pids[@]}"; do
    kill -TERM "$pid"
    wait_exit "$pid"
done
