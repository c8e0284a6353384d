#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs' command line: --help and --version without a display, an
# unknown option, no display, a display that does not answer, and a Wayland
# session, where the widgets go through XWayland unless told otherwise.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"

programs=(clock calendar calculator notes stopwatch timer photos)
version=${TAVLO_VERSION:?the version the programs print}

# Runs "$@" with no display at all; output in OUT and ERR, status in STATUS.
run_bare() {
    STATUS=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$@" \
        >"$WORK/out" 2>"$WORK/err" || STATUS=$?
    OUT=$(cat "$WORK/out")
    ERR=$(cat "$WORK/err")
}

for kind in "${programs[@]}"; do
    program="$BIN/tavlo-$kind"
    run_bare "$program" --help
    [ "$STATUS" -eq 0 ] || fail "tavlo-$kind --help: status $STATUS: $ERR"
    [ -z "$ERR" ] || fail "tavlo-$kind --help wrote to stderr: $ERR"
    echo "$OUT" | head -1 | grep -q "^Usage: tavlo-$kind " || fail "tavlo-$kind --help: $OUT"
    for word in registry.db XDG_CONFIG_HOME XDG_DATA_HOME DISPLAY QT_QPA_PLATFORM; do
        echo "$OUT" | grep -q "$word" || fail "tavlo-$kind --help does not name $word"
    done
    lines=$(echo "$OUT" | wc -l)
    width=$(echo "$OUT" | awk '{ if (length($0) > w) w = length($0) } END { print w }')
    [ "$lines" -le 25 ] && [ "$width" -le 90 ] || fail "tavlo-$kind --help is $lines lines, $width wide"

    run_bare "$program" --version
    [ "$STATUS" -eq 0 ] || fail "tavlo-$kind --version: status $STATUS: $ERR"
    [ "$(echo "$OUT" | head -1)" = "tavlo-$kind $version" ] || fail "tavlo-$kind --version: $OUT"
    echo "$OUT" | sed -n 2p | grep -q '^Qt 6\.' || fail "tavlo-$kind --version names no Qt: $OUT"

    for bad in --bogus -x extra "-platform"; do
        run_bare "$program" "$bad"
        [ "$STATUS" -eq 2 ] || fail "tavlo-$kind $bad: status $STATUS"
        [ -z "$OUT" ] && [ "$(echo "$ERR" | wc -l)" -eq 1 ] && echo "$ERR" | grep -q -- "$bad" ||
            fail "tavlo-$kind $bad: not one line naming the argument: $OUT$ERR"
    done

    run_bare "$program"
    [ "$STATUS" -eq 1 ] || fail "tavlo-$kind with no display: status $STATUS"
    [ "$(echo "$ERR" | wc -l)" -eq 1 ] && echo "$ERR" | grep -q DISPLAY ||
        fail "tavlo-$kind with no display: $ERR"
done
pass "--help, --version, unknown options and no display, for every program"

run_bare "$BIN/tavloreg" --version
[ "$STATUS" -eq 0 ] && [ "$(echo "$OUT" | head -1)" = "tavloreg $version" ] ||
    fail "tavloreg --version: $STATUS $OUT $ERR"
pass "tavloreg --version"

# A display whose socket does not exist: refused at once.
STATUS=0
DISPLAY=:9731 timeout 20 "$BIN/tavlo-clock" >"$WORK/out" 2>"$WORK/err" || STATUS=$?
[ "$STATUS" -eq 1 ] && [ "$(wc -l <"$WORK/err")" -eq 1 ] && grep -q "':9731'" "$WORK/err" ||
    fail "absent display: status $STATUS: $(cat "$WORK/err")"
pass "a display that is not there: one line, status 1"

start_x
# An X server that has stopped accepts the connection and never answers.
xvfb=${PIDS[-2]}
kill -STOP "$xvfb"
STATUS=0
start=$(date +%s%N)
timeout 20 "$BIN/tavlo-clock" >"$WORK/out" 2>"$WORK/err" || STATUS=$?
took=$((($(date +%s%N) - start) / 1000000))
kill -CONT "$xvfb"
[ "$STATUS" -eq 1 ] && [ "$(wc -l <"$WORK/err")" -eq 1 ] ||
    fail "hung display: status $STATUS after $took ms: $(cat "$WORK/err")"
[ "$took" -lt 10000 ] || fail "hung display: gave up only after $took ms"
pass "a display that does not answer: status 1 after $took ms"

# A Wayland session: the widget still lands on the X display (XWayland).
WAYLAND_DISPLAY=wayland-tavlo-absent XDG_SESSION_TYPE=wayland start_app env -u QT_QPA_PLATFORM \
    "$BIN/tavlo-clock"
wait_window fapp_CLOCK >/dev/null || fail "no clock on the X display in a Wayland session"
pass "Wayland session: the clock runs through X"
