#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The settings dialog with two photo frames of different theme colours: the
# dialog follows the frame clicked last, and Exit program, run from either
# frame, keeps each frame's own colour.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
photos_key='HKCU\SOFTWARE\TavloPhotos\Settings\Details'
RED=255 BLUE=16711680
convert -size 40x30 xc:gray "$WORK/a.png"
convert -size 40x30 xc:white "$WORK/b.png"

put() { "$BIN/tavloreg" add "$photos_key" /v "$1" /d "$2" /f >/dev/null; }
prepare() {
    put TOTAL 2
    put 0PHOTO "$WORK/a.png"
    put 0PHOTOLEFT $((100 * 15))
    put 0PHOTOTOP $((100 * 15))
    put 0Color $RED
    put 1PHOTO "$WORK/b.png"
    put 1PHOTOLEFT $((700 * 15))
    put 1PHOTOTOP $((100 * 15))
    put 1Color $BLUE
}
frame_at() { window_at fapp_PHOTOS '^TavloPhotos$' "$1" "$2"; }
wait_frame() { wait_until 10 frame_at "$1" "$2" >/dev/null && frame_at "$1" "$2"; }
# The menu's Exit program from a frame.
exit_from() {
    menu_key "$1" x
    wait_exit "$APP_PID"
    [ "$EXIT_STATUS" -eq 0 ] || fail "Exit program ended with status $EXIT_STATUS"
}
colour() { reg_value "$photos_key" "$1Color"; }

prepare
start_app "$BIN/tavlo-photos"
red=$(wait_frame 100 100) || fail "no red frame at 100,100"
blue=$(wait_frame 700 100) || fail "no blue frame at 700,100"

# A double click on the red photo opens the dialog; a click on the blue frame
# makes the dialog edit the blue one: its Save writes the blue colour.
read -r x y w h <<<"$(geometry "$red")"
pointer_to $((x + w / 2)) $((y + h / 2))
xdotool click --repeat 2 --delay 80 1
dialog=$(wait_window fdlg_SETTINGS) || fail "a double click on the photo opened no dialog"
click_middle "$blue" 1
sleep 0.3
"$BIN/tavloreg" delete "$photos_key" /v 1Color /f >/dev/null
xdotool windowactivate --sync "$dialog" key --clearmodifiers alt+s
saved() { [ -n "$(colour 1)" ]; }
wait_until 3 saved || fail "Save wrote no 1Color"
[ "$(colour 1)" = $BLUE ] || fail "the dialog still showed the red frame's colour: 1Color = $(colour 1)"
pass "after a click on the blue frame the dialog shows (and saves) the blue frame's values"

exit_from "$red"
[ "$(colour 0)" = $RED ] && [ "$(colour 1)" = $BLUE ] ||
    fail "Exit from the red frame stored 0Color = $(colour 0), 1Color = $(colour 1)"
pass "Exit from the red frame keeps both colours"

prepare
start_app "$BIN/tavlo-photos"
wait_frame 100 100 >/dev/null || fail "no red frame at the second start"
blue=$(wait_frame 700 100) || fail "no blue frame at the second start"
click_middle "$(frame_at 100 100)" 1
exit_from "$blue"
[ "$(colour 0)" = $RED ] && [ "$(colour 1)" = $BLUE ] ||
    fail "Exit from the blue frame stored 0Color = $(colour 0), 1Color = $(colour 1)"
pass "Exit from the blue frame keeps both colours"
