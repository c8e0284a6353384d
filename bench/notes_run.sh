#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sticky notes beside the clock, under a real X server and window
# manager: idle CPU and peak memory of 21 notes and of one clock running over
# the same seconds, then the interface thread's CPU per keystroke in a 1 MB
# note (key to repainted text; the writes run on their own thread) and the
# save of a 1 MB note.
# Usage: bench/notes_run.sh [BUILD_DIR]   (IDLE_SECONDS=60, KEYS=200 by default)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
IDLE_SECONDS=${IDLE_SECONDS:-60}
KEYS=${KEYS:-200}
source "$(dirname "$0")/lib.sh"
start_x
notes_key='HKCU\SOFTWARE\TavloNotes\Settings\Details'
NOTES="$XDG_DATA_HOME/tavlo/TavloNotes/notes"
mkdir -p "$NOTES"
put() { "$BIN/tavloreg" add "$notes_key" /v "$1" /d "$2" /f >/dev/null; }
# The interface thread only: its id is the process's.
ui_ns() { awk '{print $1}' "/proc/$1/task/$1/schedstat"; }
notes_shown() { [ "$(xdotool search --onlyvisible --name '^TavloNotes$' 2>/dev/null | wc -l)" -ge "$1" ]; }

put TOTAL 21
for i in $(seq 0 20); do
    printf 'Note %d\r\nGrüße, "quotes" and € signs\r\n' "$i" >"$NOTES/n$i.txt"
    put ${i}PHOTO "notes/n$i.txt"
    put ${i}PHOTOLEFT $(((20 + (i % 7) * 170) * 15))
    put ${i}PHOTOTOP $(((20 + (i / 7) * 240) * 15))
    put ${i}PHOTOWIDTH $((150 * 15))
    put ${i}PHOTOHEIGHT $((200 * 15))
done

echo "== idle over $IDLE_SECONDS s: 21 notes and one clock at once"
start_app "$BIN/tavlo-clock"
clock=$APP_PID
start_app "$BIN/tavlo-notes"
notes=$APP_PID
wait_window fapp_CLOCK >/dev/null || fail "no clock window"
wait_until 20 notes_shown 21 || fail "21 notes did not show"
sleep 3
[ -n "${SHOTS:-}" ] && import -window root "$SHOTS/notes-21.png"
idle_side_by_side "$IDLE_SECONDS" clock "$clock" 21-notes "$notes"
kill -TERM "$clock" "$notes"
wait_exit "$clock"
wait_exit "$notes"

echo "== $KEYS keystrokes at the end of a 1 MB note"
awk 'BEGIN { l = "A line of a note, with commas, \"quotes\" and Café €"; while (n < 1048576) { printf "%s\r\n", l; n += length(l) + 2 } }' >"$NOTES/big.txt"
put TOTAL 1
put 0PHOTO notes/big.txt
put 0PHOTOWIDTH $((500 * 15))
put 0PHOTOHEIGHT $((400 * 15))
start_app "$BIN/tavlo-notes"
notes=$APP_PID
wait_until 20 notes_shown 1 || fail "the 1 MB note did not show"
id=$(wait_window fapp_NOTES) || fail "no note window"
read -r x y w h <<<"$(geometry "$id")"
pointer_to $((x + w / 2)) $((y + h / 2))
xdotool click 1
xdotool key ctrl+End
sleep 3
before=$(ui_ns "$notes")
start_ns=$(date +%s%N)
sleep 3
idle_rate=$(awk -v d="$(($(ui_ns "$notes") - before))" -v t="$(($(date +%s%N) - start_ns))" 'BEGIN { print d / t }')
before=$(ui_ns "$notes")
start_ns=$(date +%s%N)
for i in $(seq "$KEYS"); do
    xdotool key --delay 0 x
    sleep 0.03
done
sleep 0.5
awk -v d="$(($(ui_ns "$notes") - before))" -v t="$(($(date +%s%N) - start_ns))" -v r="$idle_rate" -v n="$KEYS" \
    'BEGIN { printf "1 MB note: %.2f ms of interface-thread CPU per keystroke (%.1f ms in all, %.1f ms of it idle ticks and autosave snapshots)\n", (d - r * t) / n / 1e6, d / 1e6, r * t / 1e6 }'
awk -v m="$(hwm_kib "$notes")" 'BEGIN { printf "1 MB note: VmHWM %.1f MiB\n", m / 1024 }'
kill -TERM "$notes"
wait_exit "$notes"
tail -c 20 "$NOTES/big.txt" | od -c | head -2

if [ -x "$BIN/tavlo_bench" ]; then
    echo "== saving a note (encode, write, flush, sync, rename), on the writing thread"
    TMPDIR="$WORK" "$BIN/tavlo_bench" --benchmark_filter=BM_NoteSave
fi
