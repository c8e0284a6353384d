#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The photo frames measured as a user runs them, under a real X server and
# window manager, side by side in one run:
#  1. exec to a 6000x4000 JPEG painted in a 400x300 frame, in turns with a
#     bare QImageReader decoding the same file to 400x300;
#  2. 21 frames, each with a different 24-megapixel JPEG: exec to the last
#     picture painted, and the peak memory (VmHWM);
#  3. one rescale while the grip is dragged: a screen-size picture to a frame
#     of about 800x600;
#  4. idle CPU of those 21 frames beside one clock.
# The load average is printed with each part: other programs on the cores
# stretch every wall-clock figure.
# Usage: bench/photos_run.sh [BUILD_DIR]   (RUNS=7, IDLE_SECONDS=30 by default; PICTURES=DIR)
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
RUNS=${RUNS:-7}
IDLE_SECONDS=${IDLE_SECONDS:-30}
source "$(dirname "$0")/lib.sh"
start_x
key='HKCU\SOFTWARE\TavloPhotos\Settings\Details'
# The frame says when a picture is painted and how long a rescale took.
export QT_LOGGING_RULES="tavlo.frame.debug=true"

put() { "$BIN/tavloreg" add "$key" /v "$1" /d "$2" /f >/dev/null; }
now_ms() { date +%s%3N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
painted() { grep -c 'picture painted' "$WORK/app.log" 2>/dev/null || true; }
painted_at_least() { [ "$(painted)" -ge "$1" ]; }
last_painted() { grep 'picture painted' "$WORK/app.log" | awk '{ print $NF }' | sort -n | tail -1; }
stop_app() {
    kill -TERM "$APP_PID"
    wait_exit "$APP_PID"
}

# PICTURES=DIR keeps the pictures there for the next run (they take minutes to make).
PICTURES=${PICTURES:-$WORK/pictures}
echo "== making the pictures"
mkdir -p "$PICTURES"
[ -s "$PICTURES/p20.jpg" ] || {
convert -size 600x400 plasma:fractal -resize 6000x4000\! -attenuate 0.3 +noise Gaussian \
    -quality 90 "$PICTURES/base.jpg"
# Two at a time, one per core.
for i in $(seq 0 2 20); do
    jobs_now=()
    for j in $i $((i + 1)); do
        [ "$j" -le 20 ] || continue
        convert "$PICTURES/base.jpg" -roll +$((j * 257))+$((j * 131)) \
            -modulate 100,$((70 + j * 3)),$((j * 9)) -quality 90 "$PICTURES/p$j.jpg" &
        jobs_now+=($!)
    done
    wait "${jobs_now[@]}"
done
}
echo "21 files of 6000x4000, $(du -sm "$PICTURES" | cut -f1) MB in all"

echo "== exec to a 6000x4000 JPEG shown in a 400x300 frame (median of $RUNS, in turns) [load $(cut -d" " -f1 /proc/loadavg)]"
one_frame() {
    put TOTAL 2
    put 0PHOTO "$PICTURES/p0.jpg"
    put 0PHOTOWIDTH 6000
    put 0PHOTOHEIGHT 4500
    put 0PHOTOLEFT 1500
    put 0PHOTOTOP 1500
    put 1PHOTO ""
    put 1PHOTOLEFT 12000
    put 1PHOTOTOP 1500
}
bare=() bareexec=() frame=() pipeline=()
for _ in $(seq "$RUNS"); do
    start=$(now_ms)
    bare+=("$("$BIN/tavlo_decodescaled" "$PICTURES/p0.jpg" 400 300)")
    bareexec+=($(($(now_ms) - start)))
    one_frame
    start=$(now_ms)
    start_app "$BIN/tavlo-photos"
    wait_until 10 painted_at_least 1 || fail "the picture was not painted"
    frame+=($(($(last_painted) - start)))
    asked=$(grep 'picture asked' "$WORK/app.log" | awk '{ print $NF }' | head -1)
    pipeline+=($(($(last_painted) - asked)))
    stop_app
done
b=$(printf '%s\n' "${bare[@]}" | median)
f=$(printf '%s\n' "${frame[@]}" | median)
e=$(printf '%s\n' "${bareexec[@]}" | median)
p=$(printf '%s\n' "${pipeline[@]}" | median)
echo "bare QImageReader::setScaledSize(400x300) decode  $b ms   (runs: ${bare[*]})"
echo "the same bare program, exec to exit             $e ms   (runs: ${bareexec[*]})"
echo "tavlo-photos exec to picture painted            $f ms   (runs: ${frame[*]})"
echo "tavlo-photos picture asked to painted           $p ms   (runs: ${pipeline[*]})"
awk -v b="$b" -v e="$e" -v f="$f" \
    -v p="$p" 'BEGIN { printf "ratio %.2f to the decode (target <= 1.2), %.2f to the bare program; from the ask %.2f to the decode\n", f / b, f / e, p / b }'

echo "== 21 frames, each a different 24-megapixel JPEG [load $(cut -d" " -f1 /proc/loadavg)]"
twenty_one() {
    put TOTAL 21
    for i in $(seq 0 20); do
        put "${i}PHOTO" "$PICTURES/p$i.jpg"
        put "${i}PHOTOWIDTH" $((160 * 15))
        put "${i}PHOTOHEIGHT" $((220 * 15))
        put "${i}PHOTOLEFT" $(((i % 7) * 180 * 15))
        put "${i}PHOTOTOP" $(((i / 7) * 250 * 15))
    done
}
all=() cpu=()
for _ in $(seq 3); do
    twenty_one
    start=$(now_ms)
    start_app "$BIN/tavlo-photos"
    wait_until 20 painted_at_least 21 || fail "only $(painted) of 21 pictures painted"
    all+=($(($(last_painted) - start)))
    # CPU time up to then, which the load of other programs does not stretch.
    cpu+=($(awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$APP_PID/stat"))
    sleep 1
    hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$APP_PID/status")
    stop_app
done
echo "exec to the 21st picture painted: median $(printf '%s\n' "${all[@]}" | median) ms (runs: ${all[*]}; target <= 2000)"
echo "CPU time of tavlo-photos by then: median $(printf '%s\n' "${cpu[@]}" | median) ms (runs: ${cpu[*]}; two cores give 2 x the time)"
awk -v m="$hwm" 'BEGIN { printf "VmHWM %.1f MiB (target <= 300)\n", m / 1024 }'

echo "== idle over $IDLE_SECONDS s, side by side [load $(cut -d" " -f1 /proc/loadavg)]"
idle() {
    local label=$1 before after
    sleep 3
    before=$(cpu_ns "$APP_PID")
    sleep "$IDLE_SECONDS"
    after=$(cpu_ns "$APP_PID")
    awk -v l="$label" -v b="$before" -v a="$after" -v s="$IDLE_SECONDS" \
        'BEGIN { printf "%-26s %.1f ms of CPU in %d s (%.3f %% of one core)\n", l, (a - b) / 1e6, s, (a - b) / (s * 1e7) }'
}
twenty_one
start_app "$BIN/tavlo-photos"
wait_until 20 painted_at_least 21 || fail "the 21 frames did not all paint"
idle "tavlo-photos, 21 frames"
stop_app
start_app "$BIN/tavlo-clock"
wait_window fapp_CLOCK >/dev/null || fail "no clock"
idle "tavlo-clock"
stop_app

echo "== rescales while the grip is dragged (screen-size picture, frame about 800x600) [load $(cut -d" " -f1 /proc/loadavg)]"
put TOTAL 2
put 0PHOTO "$PICTURES/p1.jpg"
put 0PHOTOWIDTH $((784 * 15))
put 0PHOTOHEIGHT $((584 * 15))
put 0PHOTOLEFT 300
put 0PHOTOTOP 300
put 1PHOTO ""
put 1PHOTOLEFT 15000
start_app "$BIN/tavlo-photos"
wait_until 10 painted_at_least 1 || fail "the picture was not painted"
id=$(wait_window fapp_PHOTOS) || fail "no frame"
read -r x y w h <<<"$(geometry "$(xdotool search --onlyvisible --name TavloPhotos | while read -r i; do
    read -r gx gy _ _ <<<"$(geometry "$i")"; [ "$gx" -eq 20 ] && echo "$i"; done)")"
pointer_to $((x + w - 3)) $((y + h - 3))
xdotool mousedown 1
for step in $(seq 1 30); do
    pointer_to $((x + w - 3 + step % 7)) $((y + h - 3 + step % 5))
    sleep 0.03
done
xdotool mouseup 1
sleep 0.5
grep 'main part rendered' "$WORK/app.log" | tail -n +2 | awk '{ print $(NF - 1) }' >"$WORK/rescales"
echo "$(wc -l <"$WORK/rescales") rescales of $(grep 'main part rendered' "$WORK/app.log" | tail -1 |
    sed 's/.*QSize(\([0-9]*\), \([0-9]*\)).*to.*/\1x\2/'): median $(median <"$WORK/rescales") ms, max $(sort -n "$WORK/rescales" | tail -1) ms (target <= 10)"
stop_app
