#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The settings dialog on a real display: opening, closing with Escape, Exit program.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x

start_app "$BIN/tavlo-clock"
clock=$(wait_window fapp_CLOCK) || fail "no clock window"
read -r x y w h <<<"$(geometry "$clock")"

pointer_to $((x + 20)) $((y + 20))
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "a right click opened no settings dialog"
xprop -id "$dialog" WM_NAME | grep -q '"TavloClock"' || fail "dialog title is not TavloClock"
pass "right click maps the dialog (role fdlg_SETTINGS, title TavloClock)"

# The clock keeps ticking while the dialog is open.
import -window "$clock" "$WORK/tick1.png"
ticked() {
    import -window "$clock" "$WORK/tick2.png"
    [ "$(compare -metric AE "$WORK/tick1.png" "$WORK/tick2.png" null: 2>&1 || true)" != 0 ]
}
wait_until 3 ticked || fail "the clock stood still with the dialog open"
pass "the clock keeps ticking with the dialog open"

# The dialog does not cover the clock it edits.
read -r dx dy dw dh <<<"$(geometry "$dialog")"
[ "$dy" -ge $((y + h)) ] || [ $((dy + dh)) -le "$y" ] || fail "the dialog covers the clock"
pass "dialog beside the clock"

xdotool windowactivate --sync "$dialog" key --clearmodifiers Escape
for _ in $(seq 40); do
    xwininfo -id "$dialog" 2>/dev/null | grep -q IsViewable || break
    sleep 0.05
done
xwininfo -id "$dialog" 2>/dev/null | grep -q IsViewable && fail "Escape did not close the dialog"
# Saves reach the store in the background, in the order they were made.
stored_by_closing() {
    for name in Color On-Top Date-Font Date-align Time-Align Time-Size Default-Contrast; do
        [ -n "$(reg_value "$settings_key" "$name")" ] || return 1
    done
    [ "$(reg_value "$settings_key" 0Style-modern)" = True ]
}
wait_until 2 stored_by_closing || fail "closing did not store the plain values and 0Style-modern"
pass "Escape closes the dialog and the plain values are stored after ${WAITED_MS} ms"

# Exit program from the keyboard ends the process in order.
pointer_to $((x + 20)) $((y + 20))
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "the dialog did not open again"
xdotool windowactivate --sync "$dialog" key --clearmodifiers alt+x
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "Exit program ended with status $EXIT_STATUS"
[ "$(reg_value "$settings_key" TOTAL)" = 0 ] || fail "TOTAL is not 0 after Exit program"
[ -n "$(reg_value "$window_key" Left)" ] || fail "Exit program did not store the place"
pass "Exit program ends with status 0 and writes TOTAL = 0"
