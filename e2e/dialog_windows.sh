#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The fixed-size windows (settings dialog, message box, donation window) are
# fixed dialogs to the window manager, and the donation window opens over the dialog.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

# Fails unless the window is a dialog of one fixed size that cannot be maximised.
fixed_dialog() {
    local id=$1 what=$2 hints
    xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG' ||
        fail "$what is not a dialog: $(xprop -id "$id" _NET_WM_WINDOW_TYPE)"
    hints=$(xprop -id "$id" WM_NORMAL_HINTS)
    local min max
    min=$(sed -n 's/.*minimum size: //p' <<<"$hints")
    max=$(sed -n 's/.*maximum size: //p' <<<"$hints")
    [ -n "$min" ] && [ "$min" = "$max" ] || fail "$what has no fixed size: $hints"
    # openbox works out what it allows from those hints.
    wait_until 3 bash -c "! xprop -id $id _NET_WM_ALLOWED_ACTIONS | grep -q 'MAXIMIZE\|ACTION_RESIZE'" ||
        fail "$what may still be maximised or resized: $(xprop -id "$id" _NET_WM_ALLOWED_ACTIONS)"
    pass "$what is a fixed dialog ($min)"
}

# Prints the id of a mapped window named TavloClock other than the clock and the dialog.
other_window() {
    local id
    for id in $(xdotool search --onlyvisible --name '^TavloClock$' 2>/dev/null); do
        [ "$id" != "$clock" ] && [ "$id" != "$dialog" ] && echo "$id" && return 0
    done
    return 1
}

start_app "$BIN/tavlo-clock"
clock=$(wait_window fapp_CLOCK) || fail "no clock window"
read -r x y _ _ <<<"$(geometry "$clock")"
pointer_to $((x + 20)) $((y + 20))
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "no settings dialog"
fixed_dialog "$dialog" "the settings dialog"
import -window root "$WORK/dialog.png"

# An empty caption on the Preset page brings the message box.
xdotool windowactivate --sync "$dialog" key --clearmodifiers ctrl+Next alt+a ctrl+a Delete alt+u
wait_until 5 other_window >/dev/null || fail "no message box for an empty caption"
message=$(other_window)
fixed_dialog "$message" "the message box"
xdotool windowactivate --sync "$message" key --clearmodifiers Return
wait_until 3 bash -c "! xwininfo -id $message 2>/dev/null | grep -q IsViewable" ||
    fail "the message box did not close"

# The About page (back past the first page) shows the donate picture, found by its gold.
xdotool windowactivate --sync "$dialog" key --clearmodifiers ctrl+Prior ctrl+Prior
gold_box() {
    import -window "$dialog" "$WORK/about.png"
    read -r bw bh bx by <<<"$(convert "$WORK/about.png" -fuzz 6% -fill black +opaque '#F8C026' \
        -format '%@' info: 2>/dev/null | tr 'x+' '  ')"
    [ "${bw:-0}" -gt 10 ]
}
wait_until 3 gold_box || fail "no donate picture on the About page"
read -r dx dy dw dh <<<"$(geometry "$dialog")"
pointer_to $((dx + bx + bw / 2)) $((dy + by + bh / 2))
xdotool click 1
donate=$(wait_window fmsg_CALLTOACTION) || fail "the donate picture opened no window"
fixed_dialog "$donate" "the donation window"
read -r wx wy ww wh <<<"$(geometry "$donate")"
off_x=$((wx + ww / 2 - dx - dw / 2))
off_y=$((wy + wh / 2 - dy - dh / 2))
[ "${off_x#-}" -le 30 ] && [ "${off_y#-}" -le 30 ] ||
    fail "the donation window is not centred over the dialog (off by $off_x,$off_y)"
pass "the donation window opens centred over the dialog (off by $off_x,$off_y)"
import -window root "$WORK/donate.png"
