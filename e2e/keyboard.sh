#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The clock and a photo frame used from the keyboard alone under openbox:
# Shift+F10 and the Menu key open what the right button opens, Alt+F7 moves a
# window with the arrows, Alt+F8 sizes a photo frame.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

# Gives the window the keyboard, as a click on it or the window manager would.
focus() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    has_focus() { [ "$(xdotool getwindowfocus)" = "$1" ]; }
    wait_until 3 has_focus "$1" || fail "window $1 does not take the keyboard"
}
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
left_is() { read -r gx _ _ _ <<<"$(geometry "$id")"; [ "$gx" -eq "$1" ]; }
width_is() { read -r _ _ gw _ <<<"$(geometry "$id")"; [ "$gw" -eq "$1" ]; }
gone() { ! xdotool search --onlyvisible --pid "$APP_PID" --name . 2>/dev/null | grep -qx "$1"; }
# The photo frames on screen.
frame_count() { windows_of fapp_PHOTOS '^TavloPhotos$' | wc -l; }
count_is() { [ "$(frame_count)" -eq "$1" ]; }

start_app "$BIN/tavlo-clock"
id=$(wait_window fapp_CLOCK) || fail "no clock window"
focus "$id"
keys shift+F10
dialog=$(wait_window fdlg_SETTINGS) || fail "Shift+F10 opened no settings dialog"
pass "Shift+F10 on the clock opens the settings dialog"
focus "$dialog"
keys Escape
wait_until 3 gone "$dialog" || fail "Escape left the settings dialog open"

focus "$id"
read -r x y _ _ <<<"$(geometry "$id")"
keys alt+F7 Right Right Return
wait_until 3 left_is $((x + 20)) || fail "Alt+F7 Right Right Enter moved the clock to x=$gx, not $((x + 20))"
pass "Alt+F7, Right, Right, Enter moves the clock from x=$x to $((x + 20))"
keys alt+F7 Left
wait_until 3 left_is $((x + 10)) || fail "Alt+F7 Left left the clock at x=$gx"
keys Escape
wait_until 3 left_is $((x + 20)) || fail "Escape left the clock at x=$gx, not back at $((x + 20))"
read -r _ ny _ _ <<<"$(geometry "$id")"
[ "$ny" -eq "$y" ] || fail "the moves changed the clock's top from $y to $ny"
pass "Alt+F7, Left, Escape puts the clock back"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit after SIGTERM: $EXIT_STATUS"
left=$(reg_value "$window_key" Left)
[ "$left" = $(((x + 20) * 15)) ] || fail "stored Left $left is not $(((x + 20) * 15)) twips"
pass "the place the keys gave is stored: Left = $left twips"

start_app "$BIN/tavlo-photos"
id=$(wait_window fapp_PHOTOS) || fail "no photo frame"
focus "$id"
# The menu's own keys work from there: n is "Create a new box".
keys Menu
sleep 0.3
keys n
wait_until 5 count_is 2 || fail "Menu, n made no second photo frame ($(frame_count))"
pass "the Menu key pops up the photo frame's menu, and its keys work"

focus "$id"
read -r _ _ w h <<<"$(geometry "$id")"
keys alt+F8 Right Return
wait_until 3 width_is $((w + 10)) || fail "Alt+F8 Right Enter left the frame ${gw} wide, not $((w + 10))"
read -r _ _ _ nh <<<"$(geometry "$id")"
[ "$nh" -eq "$h" ] || fail "the resize changed the frame's height from $h to $nh"
pass "Alt+F8, Right, Enter widens the photo frame from $w to $((w + 10)) px"
