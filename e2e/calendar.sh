#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The calendar on a fixed date, 10 March 2015: its window, today's marker on
# the 10th, the arrows taking it away and back, the settings dialog, and its
# place kept from one run to the next.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
command -v faketime >/dev/null || fail "faketime is missing (scripts/setup.sh installs it)"
start_x

calendar_key='HKCU\SOFTWARE\TavloCalendar\Settings\Details'
# A blue theme: its marker stands apart from the month's gradient.
"$BIN/tavloreg" add "$calendar_key" /v Color /d $((0x804020)) /f >/dev/null

# faketime runs the program as its child and ends with it: APP_PID becomes
# the program's own pid, RUNNER_PID faketime's, which gives its exit status.
start_calendar() {
    start_app faketime -m --exclude-monotonic '2015-03-10 12:00:00' "$BIN/tavlo-calendar"
    RUNNER_PID=$APP_PID
    local child=""
    for _ in $(seq 200); do
        child=$(pgrep -P "$APP_PID" | head -1) && [ -n "$child" ] && break
        sleep 0.05
    done
    [ -n "$child" ] || fail "faketime started no calendar"
    PIDS+=("$child")
    APP_PID=$child
}

start_calendar
id=$(wait_window fapp_CALNDR) || fail "no calendar window: $(cat "$WORK/app.log")"
xprop -id "$id" WM_NAME | grep -q '"TavloCalendar"' || fail "title: $(xprop -id "$id" WM_NAME)"
pass "window with role fapp_CALNDR, title TavloCalendar"

read -r wx wy ww wh <<<"$(geometry "$id")"
# Twips to pixels as the program does it, from the designed client width.
px() { awk -v t="$1" -v w="$ww" 'BEGIN { v = t * w / 3285; printf "%d", (v >= 0 ? v + 0.5 : v - 0.5) }'; }
# Points of the window, in root coordinates: 2 px inside the left edge of the
# cells of the 9th and 10th, half-way down (left of their numbers), and the
# marker's own left column beside the 10th.
row_y=$((wy + $(px 90) + $(px 1470) + $(px 345) / 2))
ninth_x=$((wx + $(px 90) + $(px 45) + 2))
tenth_x=$((wx + $(px 90) + $(px 480) + 2))
ring_x=$((wx + $(px 90) + $(px 465)))
pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | awk 'NR == 2 { print $3 }'
}
marker_shown() {
    local tenth
    tenth=$(pixel "$tenth_x" "$row_y")
    [ "$tenth" != "$(pixel "$ninth_x" "$row_y")" ] && [ "$tenth" = "$(pixel "$ring_x" "$row_y")" ]
}
marker_gone() { [ "$(pixel "$tenth_x" "$row_y")" = "$(pixel "$ninth_x" "$row_y")" ]; }

wait_until 3 marker_shown || fail "no marker on the 10th ($(pixel "$tenth_x" "$row_y") beside $(pixel "$ninth_x" "$row_y"))"
import -window "$id" "$WORK/march.png"
pass "the marker is drawn on the 10th"

arrow_y=$((wy + $(px 90) + $(px 60) + $(px 270) / 2))
next_x=$((wx + $(px 90) + $(px 2790) + $(px 195) / 2))
back_x=$((wx + $(px 90) + $(px 135) + $(px 195) / 2))
pointer_to "$next_x" "$arrow_y"
xdotool click 1
wait_until 2 marker_gone || fail "> left the marker on the 10th"
import -window "$id" "$WORK/april.png"
pointer_to "$back_x" "$arrow_y"
xdotool click 1
wait_until 2 marker_shown || fail "< did not bring the marker back"
pass "> takes the marker away, < brings it back"

# The keys act on the calendar that has the focus.
xdotool key --window "$id" Right
wait_until 2 marker_gone || fail "Right did not move the month"
xdotool key --window "$id" Home
wait_until 2 marker_shown || fail "Home did not bring today's month back"
pass "Right and Home move the month"

pointer_to "$tenth_x" "$row_y"
xdotool click 3
dialog=$(wait_window fdlg_SETTINGS) || fail "a right click on a day opened no settings dialog"
pass "right click on a day opens the settings dialog"
xdotool key --window "$dialog" Escape 2>/dev/null || true

# The place is kept: moved, ended, started again.
xdotool windowmove --sync "$id" 200 150
read -r mx my _ _ <<<"$(geometry "$id")"
kill -TERM "$APP_PID"
wait_exit "$RUNNER_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "bad exit: $EXIT_STATUS"
start_calendar
id=$(wait_window fapp_CALNDR) || fail "no calendar window at the second start"
read -r x2 y2 _ _ <<<"$(geometry "$id")"
[ "$x2 $y2" = "$mx $my" ] || fail "placed at $x2,$y2, not at $mx,$my where it was left"
pass "the place comes back at the next start ($mx,$my)"
kill -TERM "$APP_PID"
wait_exit "$RUNNER_PID"
