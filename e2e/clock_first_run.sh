#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# First start of the clock: the window, its hints, and what it writes.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no window with role fapp_CLOCK"
pass "window with role fapp_CLOCK"

xprop -id "$id" WM_NAME | grep -q '"TavloClock"' || fail "title is not TavloClock"
props=$(xprop -id "$id")

# 211/255 of 0xFFFFFFFF
echo "$props" | grep -q '_NET_WM_WINDOW_OPACITY(CARDINAL) = 3553874899' ||
    fail "opacity is not alpha 211: $(echo "$props" | grep OPACITY)"
pass "opacity of alpha 211"

state=$(echo "$props" | grep '^_NET_WM_STATE(ATOM)' || true)
echo "$state" | grep -q ABOVE && fail "on top on first run: $state"
echo "$state" | grep -q SKIP_TASKBAR || fail "shown in the taskbar: $state"
pass "not on top, out of the taskbar"

# No decorations: openbox gives the window no frame at all.
extents=$(xprop -id "$id" _NET_FRAME_EXTENTS)
echo "$extents" | grep -q '= 0, 0, 0, 0' || fail "decorated: $extents"
read -r x y w h <<<"$(geometry "$id")"
[ "$w" -gt 100 ] && [ "$h" -gt 40 ] || fail "window too small: ${w}x$h"
# Centred horizontally, 600 twips (40 px) from the top.
[ $(( (1280 - w) / 2 - x )) -le 1 ] && [ $(( x - (1280 - w) / 2 )) -le 1 ] || fail "not centred: x=$x w=$w"
[ "$y" -eq 40 ] || fail "not 600 twips from the top: y=$y"
pass "undecorated ${w}x$h at $x,$y"

folder="$XDG_DATA_HOME/tavlo/TavloClock"
[ -d "$folder/presets" ] && [ -d "$folder/notes" ] || fail "presets or notes folder missing"
pass "presets and notes folders"

[ "$(reg_value "$settings_key" Program-Launch)" = 1 ] || fail "Program-Launch not written"
[ "$(reg_value "$settings_key" On-Top)" = 0 ] || fail "On-Top not written"
entry="$XDG_CONFIG_HOME/autostart/TavloClock.desktop"
grep -q "^Exec=.*tavlo-clock" "$entry" || fail "autostart entry without Exec"
grep -q "^Type=Application" "$entry" || fail "autostart entry without Type"
pass "Program-Launch, On-Top and the autostart entry"

# The strips are painted: the window is not one flat colour.
import -window root -crop "${w}x${h}+${x}+${y}" "$WORK/clock.png"
colours=$(convert "$WORK/clock.png" -format '%k' info:)
[ "$colours" -gt 20 ] || fail "the clock shows only $colours colours"
pass "painted ($colours colours)"

# A right click does nothing yet, and the clock keeps running.
pointer_to $((x + 10)) $((y + 10))
xdotool click 3
sleep 0.3
kill -0 "$APP_PID" || fail "right click ended the clock"
pass "right click"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after SIGTERM"
pass "SIGTERM ends it with status 0"
