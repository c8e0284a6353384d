#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Dragging the clock, saving the place on SIGTERM, and restoring it.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window"
read -r x y w h <<<"$(geometry "$id")"

# Drag by the time strip, 200 px right and 300 px down.
pointer_to $((x + 30)) $((y + 20))
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    pointer_to $((x + 30 + step * 20)) $((y + 20 + step * 30))
    sleep 0.02
done
xdotool mouseup 1
at_target() { read -r nx ny _ _ <<<"$(geometry "$id")"; [ "$nx" -eq $((x + 200)) ] && [ "$ny" -eq $((y + 300)) ]; }
wait_until 2 at_target || true
read -r nx ny _ _ <<<"$(geometry "$id")"
[ "$nx" -eq $((x + 200)) ] && [ "$ny" -eq $((y + 300)) ] ||
    fail "drag moved the clock from $x,$y to $nx,$ny"
pass "dragged from $x,$y to $nx,$ny"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit after SIGTERM: $EXIT_STATUS"
left=$(reg_value "$window_key" Left)
top=$(reg_value "$window_key" Top)
[ "$left" = $((nx * 15)) ] && [ "$top" = $((ny * 15)) ] ||
    fail "stored place $left,$top is not $((nx * 15)),$((ny * 15)) twips"
pass "SIGTERM stored $left,$top twips"

start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window at the second start"
placed_at() { read -r rx ry _ _ <<<"$(geometry "$id")"; [ "$rx" -eq "$1" ] && [ "$ry" -eq "$2" ]; }
wait_until 2 placed_at "$nx" "$ny" || fail "came back at $rx,$ry, not $nx,$ny"
pass "came back at $rx,$ry"

# SIGHUP saves as well.
pointer_to $((rx + 30)) $((ry + 20))
xdotool mousedown 1 mousemove --sync $((rx + 80)) $((ry + 20)) \
    mousemove --sync $((rx + 130)) $((ry + 20)) mouseup 1
wait_until 2 placed_at $((rx + 100)) "$ry" || fail "the second drag ended at $rx,$ry"
read -r hx _ _ _ <<<"$(geometry "$id")"
kill -HUP "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit after SIGHUP: $EXIT_STATUS"
[ "$(reg_value "$window_key" Left)" = $((hx * 15)) ] || fail "SIGHUP did not store the place"
pass "SIGHUP stored the place"

# A place off the screen comes back centred.
"$BIN/tavloreg" add "$window_key" /v Left /d -4500 /f >/dev/null
"$BIN/tavloreg" add "$window_key" /v Top /d 99000 /f >/dev/null
start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window at the third start"
read -r _ _ w h <<<"$(geometry "$id")"
wait_until 2 placed_at $(((1280 - w) / 2)) $(((800 - h) / 2)) || true
read -r cx cy w h <<<"$(geometry "$id")"
[ $(( cx - (1280 - w) / 2 )) -le 1 ] && [ $(( (1280 - w) / 2 - cx )) -le 1 ] ||
    fail "off-screen left came back at x=$cx"
[ $(( cy - (800 - h) / 2 )) -le 1 ] && [ $(( (800 - h) / 2 - cy )) -le 1 ] ||
    fail "off-screen top came back at y=$cy"
pass "off-screen place came back centred at $cx,$cy"

# A double click on the date strip opens the date and time settings.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "$@" > "%s/opened"\n' "$WORK" >"$WORK/bin/gnome-control-center"
chmod +x "$WORK/bin/gnome-control-center"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
PATH="$WORK/bin:$PATH" start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window at the fourth start"
read -r x y w h <<<"$(geometry "$id")"
pointer_to $((x + 5)) $((y + h - 6))
xdotool click --repeat 2 --delay 80 1
for _ in $(seq 40); do [ -f "$WORK/opened" ] && break; sleep 0.05; done
[ "$(cat "$WORK/opened" 2>/dev/null)" = datetime ] || fail "date strip double click opened nothing"
pass "double click on the date strip opened the date and time settings"
