#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Settings written with tavloreg: before start, and while the clock runs.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

"$BIN/tavloreg" add "$settings_key" /v On-Top /d 1 /f >/dev/null
"$BIN/tavloreg" add "$settings_key" /v Default-Transparency-Color /d 5 /f >/dev/null
start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window"
xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "On-Top = 1 is not above"
pass "On-Top = 1 keeps the clock above"
# 20/255 of 0xFFFFFFFF: a stored alpha of 5 shows as 20.
xprop -id "$id" _NET_WM_WINDOW_OPACITY | grep -q '= 336860180' ||
    fail "alpha 5 not shown as 20: $(xprop -id "$id" _NET_WM_WINDOW_OPACITY)"
pass "alpha 5 shows as 20"

read -r _ _ w h <<<"$(geometry "$id")"
height_below() { read -r _ _ _ h2 <<<"$(geometry "$id")"; [ "$h2" -lt "$1" ]; }
"$BIN/tavloreg" add "$settings_key" /v 0State /d 2 /f >/dev/null
# One 500 ms tick; the bound leaves room for a busy machine.
wait_until 2 height_below "$h" || fail "time only did not shrink the window from $h"
read -r _ _ w2 h2 <<<"$(geometry "$id")"
pass "arrangement from tavloreg shows after ${WAITED_MS} ms (${w}x$h -> ${w2}x$h2)"

# In "time only" the window is as wide as the time: the classic format with
# its seconds and AM/PM inside is wider than the modern one.
width_above() { read -r _ _ w3 _ <<<"$(geometry "$id")"; [ "$w3" -gt "$1" ]; }
"$BIN/tavloreg" add "$settings_key" /v 0Style-modern /d False /f >/dev/null
wait_until 2 width_above "$w2" || fail "classic style from tavloreg did not widen the time from $w2"
read -r _ _ w3 _ <<<"$(geometry "$id")"
pass "style from tavloreg shows after ${WAITED_MS} ms (${w2} -> ${w3} px wide)"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit: $EXIT_STATUS"
