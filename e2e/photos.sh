#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The photo frames on a real display: two restored frames each showing its
# picture stretched, a corner drag that resizes, the menu's New, Close and
# Exit, SIGTERM, and the places and sizes coming back at the next start.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
photos_key='HKCU\SOFTWARE\TavloPhotos\Settings\Details'
MARGIN=8 # the main part's margin: 120 twips at 96 dpi

# Pictures of four quadrants: red, green / blue, yellow.
picture() {
    convert \( -size "$2" xc:red xc:lime +append \) \( -size "$2" xc:blue xc:yellow +append \) \
        -append "$WORK/$1"
}
picture a.png 20x10
picture b.png 8x30

put() { "$BIN/tavloreg" add "$photos_key" /v "$1" /d "$2" /f >/dev/null; }
put TOTAL 2
put 0PHOTO "$WORK/a.png"
put 0PHOTOWIDTH $((400 * 15))
put 0PHOTOHEIGHT $((300 * 15))
put 0PHOTOLEFT $((100 * 15))
put 0PHOTOTOP $((80 * 15))
put 1PHOTO "$WORK/b.png"
put 1PHOTOWIDTH $((200 * 15))
put 1PHOTOHEIGHT $((250 * 15))
put 1PHOTOLEFT $((700 * 15))
put 1PHOTOTOP $((120 * 15))

frames() { windows_of fapp_PHOTOS '^TavloPhotos$'; }
frame_count() { frames | wc -l; }
count_is() { [ "$(frame_count)" -eq "$1" ]; }
# The frame whose top-left corner is at X Y.
frame_at() { window_at fapp_PHOTOS '^TavloPhotos$' "$1" "$2"; }

# Colour (RRGGBB) of a screen pixel in the last screenshot.
shot() { import -window root "$WORK/shot.png"; }
colour_at() { convert "$WORK/shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# True when the picture's four quadrant colours reach the main part's corners.
stretched() {
    local x y w h l t r b
    read -r x y w h <<<"$(geometry "$1")"
    l=$((x + MARGIN)) t=$((y + MARGIN)) r=$((x + w - MARGIN - 1)) b=$((y + h - MARGIN - 1))
    shot
    [ "$(colour_at $l $t)" = FF0000 ] && [ "$(colour_at $r $t)" = 00FF00 ] &&
        [ "$(colour_at $l $b)" = 0000FF ] && [ "$(colour_at $r $b)" = FFFF00 ]
}
corners() {
    local x y w h
    read -r x y w h <<<"$(geometry "$1")"
    shot
    echo "$(colour_at $((x + MARGIN)) $((y + MARGIN))) $(colour_at $((x + w - MARGIN - 1)) $((y + MARGIN)))" \
        "$(colour_at $((x + MARGIN)) $((y + h - MARGIN - 1))) $(colour_at $((x + w - MARGIN - 1)) $((y + h - MARGIN - 1)))"
}

start_app "$BIN/tavlo-photos"
wait_until 10 count_is 2 || fail "$(frame_count) photo frames instead of 2"
one=$(frame_at 100 80) || fail "frame 0 is not at 100,80: $(for i in $(frames); do geometry "$i"; done)"
two=$(frame_at 700 120) || fail "frame 1 is not at 700,120"
read -r _ _ w h <<<"$(geometry "$one")"
[ "$w" -eq 416 ] && [ "$h" -eq 316 ] || fail "frame 0 is ${w}x$h, not 416x316"
xprop -id "$one" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "frame 0 is in the taskbar"
pass "two frames (role fapp_PHOTOS, title TavloPhotos) at their places, out of the taskbar"

wait_until 5 stretched "$one" || fail "frame 0 does not show its picture stretched: $(corners "$one")"
wait_until 5 stretched "$two" || fail "frame 1 does not show its picture stretched: $(corners "$two")"
pass "each frame shows its picture stretched to the corners of its main part"

# A corner drag on the grip resizes the frame; the picture fills the new size.
read -r x y w h <<<"$(geometry "$one")"
pointer_to $((x + w - 3)) $((y + h - 3))
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    pointer_to $((x + w - 3 + step * 12)) $((y + h - 3 + step * 8))
    sleep 0.03
done
xdotool mouseup 1
resized() { read -r _ _ nw nh <<<"$(geometry "$one")"; [ "$nw" -eq $((w + 120)) ] && [ "$nh" -eq $((h + 80)) ]; }
wait_until 3 resized || fail "the corner drag left frame 0 at ${nw}x$nh, not $((w + 120))x$((h + 80))"
wait_until 3 stretched "$one" || fail "the picture does not fill the resized frame: $(corners "$one")"
pass "corner drag resized frame 0 to ${nw}x$nh and the picture fills it"

# The right button on a photo pops the menu; its New makes a third frame.
menu_key "$two" n
wait_until 5 count_is 3 || fail "Create a new box made no third frame ($(frame_count))"
pass "the menu's Create a new box makes a third frame"
three=""
for id in $(frames); do [ "$id" != "$one" ] && [ "$id" != "$two" ] && three=$id; done
menu_key "$three" c
wait_until 5 count_is 2 || fail "Close the selected box left $(frame_count) frames"
pass "the menu's Close the selected box removes it"

# Exit from the menu stores both frames and TOTAL.
read -r ox oy ow oh <<<"$(geometry "$one")"
menu_key "$one" x
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "Exit program ended with status $EXIT_STATUS"
[ "$(reg_value "$photos_key" TOTAL)" = 2 ] || fail "TOTAL is $(reg_value "$photos_key" TOTAL) after Exit"
[ "$(reg_value "$photos_key" 0PHOTO)" = "$WORK/a.png" ] || fail "0PHOTO is $(reg_value "$photos_key" 0PHOTO)"
[ "$(reg_value "$photos_key" 1PHOTO)" = "$WORK/b.png" ] || fail "1PHOTO is $(reg_value "$photos_key" 1PHOTO)"
[ "$(reg_value "$photos_key" 0PHOTOWIDTH)" = $(((ow - 2 * MARGIN) * 15)) ] ||
    fail "0PHOTOWIDTH is $(reg_value "$photos_key" 0PHOTOWIDTH), not $(((ow - 2 * MARGIN) * 15))"
pass "Exit program stores both frames and TOTAL = 2"

# The places and sizes come back; SIGTERM stores a frame moved since.
start_app "$BIN/tavlo-photos"
wait_until 10 count_is 2 || fail "$(frame_count) frames at the second start"
one=$(frame_at "$ox" "$oy") || fail "frame 0 did not come back at $ox,$oy"
read -r _ _ w h <<<"$(geometry "$one")"
[ "$w" -eq "$ow" ] && [ "$h" -eq "$oh" ] || fail "frame 0 came back ${w}x$h, not ${ow}x$oh"
wait_until 5 stretched "$one" || fail "frame 0 came back without its picture"
pass "frame 0 came back at $ox,$oy, ${w}x$h, with its picture"

pointer_to $((ox + w / 2)) $((oy + h / 2))
xdotool mousedown 1
for step in 1 2 3 4 5; do pointer_to $((ox + w / 2 + step * 10)) $((oy + h / 2 + step * 6)); sleep 0.03; done
xdotool mouseup 1
moved() { read -r mx my _ _ <<<"$(geometry "$one")"; [ "$mx" -eq $((ox + 50)) ] && [ "$my" -eq $((oy + 30)) ]; }
wait_until 3 moved || fail "dragging the photo moved frame 0 to $mx,$my"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "SIGTERM ended with status $EXIT_STATUS"
[ "$(reg_value "$photos_key" TOTAL)" = 2 ] || fail "TOTAL is not 2 after SIGTERM"
[ "$(reg_value "$photos_key" 0PHOTOLEFT)" = $(((ox + 50) * 15)) ] ||
    fail "SIGTERM stored 0PHOTOLEFT $(reg_value "$photos_key" 0PHOTOLEFT), not $(((ox + 50) * 15))"
pass "a drag on the photo moves the frame and SIGTERM stores it"
