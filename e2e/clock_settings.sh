#!/usr/bin/env bash
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
"$BIN/tavloreg" add "$settings_key" /v 0State /d 2 /f >/dev/null
sleep 0.7
read -r _ _ w2 h2 <<<"$(geometry "$id")"
[ "$h2" -lt "$h" ] || fail "time only did not shrink the window: $h -> $h2"
pass "arrangement from tavloreg shows within half a second (${w}x$h -> ${w2}x$h2)"

"$BIN/tavloreg" add "$settings_key" /v 0Style-modern /d False /f >/dev/null
import -window "$id" "$WORK/modern.png"
sleep 0.7
import -window "$id" "$WORK/classic.png"
[ "$(compare -metric AE "$WORK/modern.png" "$WORK/classic.png" null: 2>&1 || true)" != 0 ] ||
    fail "style from tavloreg did not change the clock"
pass "style from tavloreg shows"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit: $EXIT_STATUS"
