#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The calculator on a real display: keys clicked at their places, the
# keyboard, the clipboard, the settings dialog and the place kept across a
# restart.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
command -v xclip >/dev/null || fail "xclip is not installed (scripts/setup.sh)"
start_x
calc_window_key='HKCU\SOFTWARE\TavloCalculator\fapp_CALC\Window'

start_app "$BIN/tavlo-calculator"
id=$(wait_window fapp_CALC) || fail "no calculator window"
xprop -id "$id" WM_NAME | grep -q '"TavloCalculator"' || fail "title is not TavloCalculator"
read -r x y w h <<<"$(geometry "$id")"
[ "$w" -eq 240 ] && [ "$h" -eq 214 ] || fail "the window is ${w}x$h, not 3600x3210 twips"
pass "window with role fapp_CALC, title TavloCalculator, ${w}x$h"

# The middle of a keypad key, in root pixels (15 twips each): the strip lies
# at 45, 945 twips; the key's left, top, width and height follow.
key_at() { echo $((x + (45 + $1 + $3 / 2) / 15)) $((y + (945 + $2 + $4 / 2) / 15)); }
click_key() {
    pointer_to $(key_at "$@")
    xdotool click 1
}
clipboard() { timeout 5 xclip -o -selection clipboard 2>/dev/null; }
clipboard_is() { [ "$(clipboard)" = "$1" ]; }

click_key 180 1440 555 285   # 1
click_key 855 1440 555 285   # 2
click_key 2340 1395 465 330  # +
click_key 1530 1440 555 285  # 3
click_key 2340 1800 1050 330 # =
xdotool key --clearmodifiers ctrl+c
wait_until 5 clipboard_is 15 || fail "1 2 + 3 = then Ctrl+C put '$(clipboard)' on the clipboard"
pass "clicks on 1 2 + 3 = and Ctrl+C give 15"

xdotool key --clearmodifiers Escape
xdotool type --delay 30 '1/3='
xdotool key --clearmodifiers ctrl+c
wait_until 5 clipboard_is 0.333333333333333 || fail "typing 1/3= gave '$(clipboard)'"
pass "typing 1/3= gives 0.333333333333333"

# A number pasted from another program shows, and goes on as typed.
printf ' 2.5E1 ' | xclip -selection clipboard
xdotool key --clearmodifiers ctrl+v
xdotool type --delay 30 '*2='
xdotool key --clearmodifiers ctrl+c
wait_until 5 clipboard_is 50 || fail "pasting 2.5E1 and typing *2= gave '$(clipboard)'"
pass "Ctrl+V takes 2.5E1 and *2= gives 50"
import -window root "$WORK/calculator.png"

# A right click on the keypad strip beside the keys opens the settings.
pointer_to $((x + 7)) $((y + 67))
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "a right click opened no settings dialog"
xprop -id "$dialog" WM_NAME | grep -q '"TavloCalculator"' || fail "dialog title is not TavloCalculator"
pass "right click on the keypad strip opens fdlg_SETTINGS"
xdotool windowactivate --sync "$dialog" key --clearmodifiers Escape

# Dragged by its display, 150 px right and 100 px down, then restarted.
read -r x y w h <<<"$(geometry "$id")"
pointer_to $((x + 178)) $((y + 47))
xdotool mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
    pointer_to $((x + 178 + step * 15)) $((y + 47 + step * 10))
    sleep 0.02
done
xdotool mouseup 1
at_target() { read -r nx ny _ _ <<<"$(geometry "$id")"; [ "$nx" -eq $((x + 150)) ] && [ "$ny" -eq $((y + 100)) ]; }
wait_until 2 at_target || fail "the display drag moved the window from $x,$y to $nx,$ny"
pass "dragged by the display from $x,$y to $nx,$ny"

kill -TERM "$APP_PID"
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit after SIGTERM: $EXIT_STATUS"
[ "$(reg_value "$calc_window_key" Left)" = $((nx * 15)) ] || fail "the place was not stored"
start_app "$BIN/tavlo-calculator"
id=$(wait_window fapp_CALC) || fail "no calculator window at the second start"
placed_at() { read -r rx ry _ _ <<<"$(geometry "$id")"; [ "$rx" -eq "$nx" ] && [ "$ry" -eq "$ny" ]; }
wait_until 2 placed_at || fail "came back at $rx,$ry, not $nx,$ny"
pass "came back at $rx,$ry after a restart"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
