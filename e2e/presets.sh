#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A preset placed in the presets folder is applied by a click in the list.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

# "R,G,B" of one pixel of an image.
pixel() { convert "$1" -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" info:; }

presets="$XDG_DATA_HOME/tavlo/TavloClock/presets"
mkdir -p "$presets"
printf '[main]\r\n>     theme-color=255\r\n>     transparency=255\r\n>     contrast=33\r\n' >"$presets/Red.tvp"

start_app "$BIN/tavlo-clock"
clock=$(wait_window fapp_CLOCK) || fail "no clock window"
read -r x y w h <<<"$(geometry "$clock")"
import -window "$clock" "$WORK/before.png"
[ "$(pixel "$WORK/before.png" 1 1)" = 0,0,0 ] ||
    fail "the clock does not start black"

pointer_to $((x + 20)) $((y + 20))
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "no settings dialog"
read -r dx dy _ _ <<<"$(geometry "$dialog")"
# The first entry of the preset list on the Theme page.
pointer_to $((dx + 100)) $((dy + 116))
xdotool click 1
frame_red() {
    import -window "$clock" "$WORK/after.png"
    [ "$(pixel "$WORK/after.png" 1 1)" = 255,0,0 ]
}
wait_until 3 frame_red || true
[ "$(compare -metric AE "$WORK/before.png" "$WORK/after.png" null: 2>&1 || true)" != 0 ] ||
    fail "clicking the preset did not change the clock"
[ "$(pixel "$WORK/after.png" 1 1)" = 255,0,0 ] ||
    fail "the clock's frame is not red after the preset: $(pixel "$WORK/after.png" 1 1)"
xprop -id "$dialog" WM_NAME >/dev/null 2>&1 || fail "the dialog closed"
pass "a click on the preset turned the clock red while the dialog stays open"

xdotool windowactivate --sync "$dialog" key --clearmodifiers Escape
# Closing writes the values one after another: wait for the last of them too.
preset_stored() {
    [ "$(reg_value "$settings_key" Selected-Preset)" = Red ] &&
        [ "$(reg_value "$settings_key" Color)" = 255 ]
}
wait_until 3 preset_stored || fail "Selected-Preset is not Red or Color is not 255"
pass "closing stores the preset's name and colour"
