#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The stopwatch keeps true time: started with Space, frozen by SIGSTOP for
# 3 s and let go again, its reading copied with Ctrl+C after 10 s of wall
# time is 10 s within 0.2 s; stopped, it looks the same after another
# window covered it; running again, the reading moves on screen until a Lap
# (Escape) holds it. Its menu (New makes a photo frame) and its settings
# dialog open.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# A reading "MM:SS.FF" (FF sixtieths in steps of 6) in milliseconds.
reading_ms() {
    awk -F'[:.]' 'NF == 3 { printf "%d", ($1 * 60 + $2) * 1000 + $3 / 6 * 100 }' <<<"$1"
}

start_app "$BIN/tavlo-stopwatch"
watch=$(wait_window fapp_SWATCH) || fail "no stopwatch window"
[ "$(xdotool getwindowname "$watch")" = TavloStopwatch ] || fail "title $(xdotool getwindowname "$watch")"
xdotool windowactivate --sync "$watch"
sleep 0.5
xdotool key --clearmodifiers space
started=$(now_ms)
sleep 2
kill -STOP "$APP_PID"
sleep 3
kill -CONT "$APP_PID"
sleep $(awk -v s="$started" -v n="$(now_ms)" 'BEGIN { printf "%.3f", (10000 - (n - s)) / 1000 }')
read_at=$(now_ms)
xdotool key --clearmodifiers ctrl+c
sleep 0.3
copied=$(xclip -o -selection clipboard 2>/dev/null || true)
shown=$(reading_ms "$copied")
[ -n "$shown" ] || fail "Ctrl+C copied \"$copied\""
wall=$((read_at - started))
off=$((shown - wall))
[ "${off#-}" -le 200 ] || fail "after $wall ms of wall time (3 s of it stopped) the stopwatch read $copied"
pass "after $wall ms, 3 s of them under SIGSTOP, the stopwatch read $copied ($off ms off)"

# Stopped, the reading drawn tick by tick comes back whole after another
# window covered it and went away.
xdotool key --clearmodifiers space
sleep 0.5
read -r x y w h <<<"$(geometry "$watch")"
shot() { import -window root -crop "${w}x${h}+${x}+${y}" +repage "$WORK/$1.png"; }
shot before
xmessage -geometry "${w}x${h}+${x}+${y}" -bg black "covering the stopwatch" &
cover=$!
cover_shown() { xdotool search --onlyvisible --class Xmessage >/dev/null 2>&1; }
wait_until 5 cover_shown || fail "no covering window"
sleep 0.3
kill "$cover"
wait "$cover" 2>/dev/null || true
sleep 0.5
shot after
differ=$(compare -metric AE "$WORK/before.png" "$WORK/after.png" /dev/null 2>&1 || true)
[ "$differ" = 0 ] || fail "$differ pixels differ after the stopwatch was covered and shown again"
pass "the stopped reading looks the same after another window covered it"

# Running, the reading moves on screen; a Lap holds it there, still counting.
same_shots() { [ "$(compare -metric AE "$WORK/$1.png" "$WORK/$2.png" /dev/null 2>&1 || true)" = 0 ]; }
xdotool windowactivate --sync "$watch"
sleep 0.3
xdotool key --clearmodifiers space
sleep 0.5
shot running1
sleep 0.35
shot running2
same_shots running1 running2 && fail "the running reading did not change on screen"
xdotool key --clearmodifiers Escape
sleep 0.3
shot held1
xdotool key --clearmodifiers ctrl+c
sleep 0.6
shot held2
same_shots held1 held2 || fail "the Lap reading did not hold on screen"
held=$(xclip -o -selection clipboard 2>/dev/null || true)
[ "$(reading_ms "$held")" -gt "$shown" ] || fail "Ctrl+C on a Lap copied \"$held\""
xdotool key --clearmodifiers space
pass "running, the reading moves on screen; a Lap holds $held there"

# The right button on a button pops the shared menu; its New makes a photo frame.
menu_from_button "$watch" n
wait_window fapp_PHOTOS >/dev/null || fail "the menu's New made no photo frame"
pass "the menu's Create a new box makes a photo frame"

# A double click on the body opens the settings dialog.
read -r x y _ _ <<<"$(geometry "$watch")"
pointer_to $((x + 20)) $((y + 45))
xdotool click --repeat 2 --delay 80 1
wait_window fdlg_SETTINGS >/dev/null || fail "a double click on the body opened no dialog"
pass "a double click on the body opens the settings dialog"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
