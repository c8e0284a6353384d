#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The timer set to 00:00:03 through its boxes and started with Enter shows
# one "Finished" message about 4 s later, and is idle at 00:01:00 after OK.
# Its menu opens the settings dialog.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
now_ms() { echo $(($(date +%s%N) / 1000000)); }
titled() { xdotool search --onlyvisible --name '^TavloTimer$' 2>/dev/null | wc -l; }
message_shown() { [ "$(titled)" -ge 2 ]; }

start_app "$BIN/tavlo-timer"
timer=$(wait_window fapp_TIMER) || fail "no timer window"
[ "$(titled)" -eq 1 ] || fail "$(titled) windows titled TavloTimer at the start"
xdotool windowactivate --sync "$timer"
sleep 0.5
# Tab leads from the window to the hours, the minutes and the seconds.
xdotool key --clearmodifiers Tab ctrl+a 0 Tab ctrl+a 0 Tab ctrl+a 3
xdotool key --clearmodifiers ctrl+c
sleep 0.3
[ "$(xclip -o -selection clipboard)" = 00:00:03 ] || fail "the boxes read $(xclip -o -selection clipboard)"
xdotool key --clearmodifiers Return
started=$(now_ms)
wait_until 10 message_shown || fail "no Finished message within 10 s"
took=$(($(now_ms) - started))
[ "$took" -ge 3500 ] && [ "$took" -le 5500 ] || fail "Finished came after $took ms"
sleep 2
[ "$(titled)" -eq 2 ] || fail "$(($(titled) - 1)) Finished messages"
pass "one Finished message, $took ms after Enter"

for id in $(xdotool search --onlyvisible --name '^TavloTimer$'); do
    [ "$id" = "$timer" ] || message=$id
done
xdotool windowactivate --sync "$message" key Return
gone() { [ "$(titled)" -eq 1 ]; }
wait_until 5 gone || fail "the message did not close on Enter"
xdotool windowactivate --sync "$timer"
xdotool key --clearmodifiers ctrl+c
sleep 0.3
[ "$(xclip -o -selection clipboard)" = 00:01:00 ] || fail "after OK the timer reads $(xclip -o -selection clipboard)"
pass "after OK the timer is idle at 00:01:00"
# The digits are drawn: light ink covers a good part of the window, where
# the separators and button captions alone cover well under one percent.
import -window "$timer" "$WORK/timer.png"
ink=$(convert "$WORK/timer.png" -colorspace gray -threshold 80% -format '%[fx:mean]' info:)
awk -v ink="$ink" 'BEGIN { exit !(ink > 0.02) }' || fail "the boxes show no digits (light share $ink)"
pass "the boxes show their digits"

# The right button on a button pops the shared menu; Edit settings opens the dialog.
menu_from_button "$timer" e
wait_window fdlg_SETTINGS >/dev/null || fail "the menu's Edit settings opened no dialog"
pass "the menu opens the settings dialog"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
