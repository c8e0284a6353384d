# SPDX-License-Identifier: GPL-3.0-or-later
# Shared set-up of the end-to-end tests: a private X server with a window
# manager, temporary XDG folders, and helpers to find and query windows.
# Usage: source this file with BIN set to the folder of the built programs.
set -euo pipefail

E2E_NAME=$(basename "$0" .sh)
WORK=$(mktemp -d "/tmp/tavlo-e2e-$E2E_NAME.XXXXXX")
export HOME="$WORK/home"
export XDG_CONFIG_HOME="$WORK/config"
export XDG_DATA_HOME="$WORK/data"
export XDG_CACHE_HOME="$WORK/cache"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
# The offscreen run of the unit tests must not leak in here.
PIDS=()
FAILED=0

# True while pid is still a child of this script: the number of a child that
# has ended and been reaped may already belong to another test's X server.
ours() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [ "$(echo "$stat" | cut -d' ' -f2)" = "$$" ]
}

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do ours "$pid" && kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    if [ "$FAILED" -eq 0 ] && [ -z "${KEEP_E2E:-}" ]; then rm -rf "$WORK"; else echo "kept $WORK"; fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    FAILED=1
    [ -n "${DISPLAY:-}" ] && import -window root "$WORK/failure.png" 2>/dev/null || true
    exit 1
}

pass() { echo "ok: $*"; }

# Starts Xvfb on a free display and openbox on it. Two servers started at the
# same moment (tests of other trees) can pick the same display; the loser is
# started again.
start_x() {
    local try
    for try in 1 2 3; do
        start_x_once "$try" && return 0
    done
    fail "no X server with a window manager: $(cat "$WORK/xvfb.log" "$WORK/openbox.log")"
}

start_x_once() {
    local fifo="$WORK/displayfd.$1" number xvfb wm
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${SCREEN:-1280x800x24}" -nolisten tcp -noreset 3>"$fifo" >"$WORK/xvfb.log" 2>&1 &
    xvfb=$!
    PIDS+=("$xvfb")
    if ! read -r -t 10 number <"$fifo"; then
        kill "$xvfb" 2>/dev/null || true
        return 1
    fi
    export DISPLAY=":$number"
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    wm=$!
    PIDS+=("$wm")
    # openbox is ready once it owns the window-manager selection.
    for _ in $(seq 600); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$xvfb" 2>/dev/null && kill -0 "$wm" 2>/dev/null || break
        sleep 0.05
    done
    kill "$wm" "$xvfb" 2>/dev/null || true
    return 1
}

# Starts a program in the background; its pid is in APP_PID.
start_app() {
    "$@" >"$WORK/app.log" 2>&1 &
    APP_PID=$!
    PIDS+=("$APP_PID")
}

# Prints the id of the mapped window with the given WM_WINDOW_ROLE (and a
# name matching the second argument), waiting up to 10 s.
wait_window() {
    local id
    for _ in $(seq 200); do
        id=$(windows_of "$1" "${2:-.}" | head -1) || true
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.05
    done
    return 1
}

# Moves the pointer to X Y and waits until it is there. (xdotool's --sync
# waits for motion, so a move to where the pointer already is would hang.)
pointer_to() {
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X" -eq "$1" ] && [ "$Y" -eq "$2" ] && return 0
    xdotool mousemove --sync "$1" "$2"
}

# Ids of the mapped windows whose role is ROLE and whose name matches the
# pattern NAME (any when not given), one a line.
windows_of() {
    local id
    for id in $(xdotool search --onlyvisible --name "${2:-.}" 2>/dev/null); do
        xprop -id "$id" WM_WINDOW_ROLE 2>/dev/null | grep -q "\"$1\"" && echo "$id"
    done
    return 0
}

# The window of ROLE and NAME (as windows_of) whose top-left corner is at X Y.
window_at() {
    local id wx wy
    for id in $(windows_of "$1" "$2"); do
        read -r wx wy _ _ <<<"$(geometry "$id")"
        [ "$wx" -eq "$3" ] && [ "$wy" -eq "$4" ] && echo "$id" && return 0
    done
    return 1
}

# Presses mouse BUTTON (1 when not given) in the middle of window ID.
click_middle() {
    local x y w h
    read -r x y w h <<<"$(geometry "$1")"
    pointer_to $((x + w / 2)) $((y + h / 2))
    xdotool click "${2:-1}"
}

# Pops the menu with the right button in the middle of window ID and presses KEY.
menu_key() {
    click_middle "$1" 3
    sleep 0.3
    xdotool key --clearmodifiers "$2"
}

# Pops the shared menu with the right button on the stopwatch's or timer's
# Stop button (their body is covered by parts) and presses the item's key.
menu_from_button() {
    local x y w h
    read -r x y w h <<<"$(geometry "$1")"
    pointer_to $((x + w / 2 + 67)) $((y + h - 56))
    xdotool click 3
    sleep 0.5
    xdotool key --clearmodifiers "$2"
}

# Runs the command every 50 ms until it succeeds or SECONDS pass; the time
# it took, in ms, is left in WAITED_MS. Returns 1 on time-out.
wait_until() {
    local seconds=$1 start now
    shift
    start=$(date +%s%N)
    while true; do
        if "$@"; then
            now=$(date +%s%N)
            WAITED_MS=$(((now - start) / 1000000))
            return 0
        fi
        now=$(date +%s%N)
        [ $(((now - start) / 1000000)) -ge $((seconds * 1000)) ] && return 1
        sleep 0.05
    done
}

# Prints "X Y W H" of a window, in root coordinates.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /^  Width/{w=$2} /^  Height/{h=$2} END{print x, y, w, h}'
}

# Prints the data of a value, or nothing when absent.
reg_value() {
    "$BIN/tavloreg" query "$1" /v "$2" 2>/dev/null | awk -v n="$2" '
        index($0, "    " n "    ") == 1 { sub("^    " n "    [A-Z_]+    ?", ""); print; exit }'
}

# Waits (up to 10 s) until the process ends; its exit status is left in EXIT_STATUS.
wait_exit() {
    local pid=$1
    EXIT_STATUS=0
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -0 "$pid" 2>/dev/null && fail "process $pid did not end"
    wait "$pid" || EXIT_STATUS=$?
}

settings_key='HKCU\SOFTWARE\TavloClock\Settings\Details'
window_key='HKCU\SOFTWARE\TavloClock\fapp_CLOCK\Window'
