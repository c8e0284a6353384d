#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sticky notes on a real display: the first note, typing that survives
# kill -9, the text coming back through the clipboard, three stored notes at
# their places and sizes, and New then Exit storing four.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
notes_key='HKCU\SOFTWARE\TavloNotes\Settings\Details'
NOTES="$XDG_DATA_HOME/tavlo/TavloNotes/notes"
MARGIN=9 # the text box's margin: 135 twips at 96 dpi

put() { "$BIN/tavloreg" add "$notes_key" /v "$1" /d "$2" /f >/dev/null; }
notes() { windows_of fapp_NOTES '^TavloNotes$'; }
count_is() { [ "$(notes | wc -l)" -eq "$1" ]; }
note_at() { window_at fapp_NOTES '^TavloNotes$' "$1" "$2"; }

start_app "$BIN/tavlo-notes"
wait_until 10 count_is 1 || fail "$(notes | wc -l) notes at the first start instead of 1"
note=$(notes)
pass "the first start shows one window of role fapp_NOTES"

# Typed text is in its file within 2 s of the last key, whatever happens next.
click_middle "$note"
xdotool type --delay 20 'first line'
xdotool key Return
xdotool type --delay 20 'second, "quoted"'
sleep 3
kill -9 "$APP_PID"
wait "$APP_PID" 2>/dev/null || true
file=$(ls "$NOTES"/*.txt 2>/dev/null | head -1)
[ -n "$file" ] || fail "no note file after kill -9"
expected=$(printf 'first line\r\nsecond, "quoted"\r\n' | od -c)
[ "$(od -c <"$file")" = "$expected" ] || fail "the note file holds $(od -c <"$file")"
pass "after kill -9 the note's file holds the two lines with CR LF"

start_app "$BIN/tavlo-notes"
wait_until 10 count_is 1 || fail "$(notes | wc -l) notes after kill -9 instead of 1"
note=$(notes)
click_middle "$note"
xdotool key ctrl+a ctrl+c
copied() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$(printf 'first line\nsecond, "quoted"')" ]; }
wait_until 3 copied || fail "the clipboard holds '$(xclip -o -selection clipboard 2>/dev/null)'"
pass "the next start shows the note; Ctrl+A, Ctrl+C gives the same two lines"
menu_key "$note" x
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "Exit program ended with status $EXIT_STATUS"

# Three stored notes come back at their places and sizes.
printf 'one\r\n' >"$NOTES/one.txt"
printf 'two\r\n' >"$NOTES/two.txt"
printf 'three\r\n' >"$NOTES/three.txt"
put TOTAL 3
i=0
for note in "one 60 50 200 150" "two 400 80 260 120" "three 760 300 180 220"; do
    read -r name left top width height <<<"$note"
    put ${i}PHOTO "notes/$name.txt"
    put ${i}PHOTOLEFT $((left * 15))
    put ${i}PHOTOTOP $((top * 15))
    put ${i}PHOTOWIDTH $((width * 15))
    put ${i}PHOTOHEIGHT $((height * 15))
    i=$((i + 1))
done
start_app "$BIN/tavlo-notes"
wait_until 10 count_is 3 || fail "$(notes | wc -l) notes instead of 3"
for note in "60 50 200 150" "400 80 260 120" "760 300 180 220"; do
    read -r left top width height <<<"$note"
    id=$(note_at "$left" "$top") || fail "no note at $left,$top: $(for n in $(notes); do geometry "$n"; done)"
    read -r _ _ w h <<<"$(geometry "$id")"
    [ "$w" -eq $((width + 2 * MARGIN)) ] && [ "$h" -eq $((height + 2 * MARGIN)) ] ||
        fail "the note at $left,$top is ${w}x$h, not $((width + 2 * MARGIN))x$((height + 2 * MARGIN))"
done
pass "three notes with TOTAL = 3 come back at their places and sizes"
[ -n "${SHOTS:-}" ] && import -window root "$SHOTS/notes-three.png"

menu_key "$(note_at 400 80)" n
wait_until 5 count_is 4 || fail "Create a new box made no fourth note"
menu_key "$(note_at 400 80)" x
wait_exit "$APP_PID"
[ "$EXIT_STATUS" -eq 0 ] || fail "Exit program ended with status $EXIT_STATUS"
[ "$(reg_value "$notes_key" TOTAL)" = 4 ] || fail "TOTAL is $(reg_value "$notes_key" TOTAL) after Exit"
[ "$(ls "$NOTES"/*.txt | wc -l)" -eq 5 ] || fail "notes folder: $(ls "$NOTES")"
pass "Create a new box, then Exit, stores TOTAL = 4"
