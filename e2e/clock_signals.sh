#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM at any moment of the start-up, with the shipped web root (no network
# here) and with a version server that accepts and never answers: every run
# ends with status 0 within a few seconds, leaves no fetch helper and no
# version file behind, and once the clock had appeared its place is saved.
BIN=${1:?usage: $0 BIN_DIR}
source "$(dirname "$0")/lib.sh"
start_x
DELAYS=(0 2 5 10 15 20 30 40 50 60 80 100 150 200 300)
PORT=47815
folder="$XDG_DATA_HOME/tavlo/TavloClock"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits (up to 5 s) until the process catches SIGTERM: from then on the
# program itself decides what a signal does. (Before its first line the
# dynamic loader runs, and the kernel's default action still applies.)
# The forked shell that is about to exec the program may catch SIGTERM
# itself, so the program must be running first.
wait_handler() {
    local pid=$1 exe key value
    exe=$(readlink -f "$2")
    for _ in $(seq 2500); do
        [ -e "/proc/$pid/status" ] || return 1
        if [ "$(readlink -f "/proc/$pid/exe" 2>/dev/null)" != "$exe" ]; then
            sleep 0.002
            continue
        fi
        while read -r key value; do
            [ "$key" = SigCgt: ] && (((16#$value >> 14) & 1)) && return 0
        done <"/proc/$pid/status"
        sleep 0.002
    done
    return 1
}

# Fetch helpers started for this test's folders that are still running.
helpers_left() {
    local f cmd
    for f in /proc/[0-9]*/cmdline; do
        { cmd=$(tr '\0' ' ' <"$f"); } 2>/dev/null || continue
        case $cmd in *tavlo-fetch*"$WORK"*) echo "$cmd" ;; esac
    done
}

# A server that accepts and never answers, on a loopback of its own (a network
# namespace) where the machine allows one, so no port is shared with anyone.
IN_NET=()
start_silent_server() {
    if unshare -n true 2>/dev/null && command -v ip >/dev/null; then
        unshare -n sh -c 'ip link set lo up && exec "$0" "$1" silent' \
            "$BIN/tavlo_versionserver" "$PORT" &
        SERVER=$!
        IN_NET=(nsenter "--net=/proc/$SERVER/ns/net")
    else
        "$BIN/tavlo_versionserver" "$PORT" silent &
        SERVER=$!
    fi
    PIDS+=("$SERVER")
    local hex
    hex=$(printf '%04X' "$PORT")
    listening() { grep -q ":$hex 00000000:0000 0A" "/proc/$SERVER/net/tcp" 2>/dev/null; }
    wait_until 5 listening || fail "the version server did not start"
}

# run_delays LABEL PROGRAM [waiting]: "waiting" when the update check is still
# running by the time the clock is shown, so the exit has a helper to end.
run_delays() {
    local label=$1 program=$2 waiting=${3:-} delay start ended left top mapped checking=0
    for delay in "${DELAYS[@]}"; do
        "$BIN/tavloreg" delete "$window_key" /f >/dev/null 2>&1 || true
        start_app "${IN_NET[@]}" "$program"
        wait_handler "$APP_PID" "$program" || fail "$label: no signal handler in $APP_PID"
        [ "$delay" -gt 0 ] && sleep "$(printf '0.%03d' "$delay")"
        # Whether the clock is on screen as the signal goes: then its place must be kept.
        mapped=$(xdotool search --onlyvisible --name TavloClock 2>/dev/null | head -1) || true
        [ -n "$(helpers_left)" ] && checking=$((checking + 1))
        start=$(now_ms)
        kill -TERM "$APP_PID"
        wait_exit "$APP_PID"
        ended=$(($(now_ms) - start))
        [ "$EXIT_STATUS" -eq 0 ] || fail "$label: SIGTERM at $delay ms: exit status $EXIT_STATUS"
        [ "$ended" -lt 2500 ] || fail "$label: SIGTERM at $delay ms: ended after $ended ms"
        [ -z "$(helpers_left)" ] || fail "$label: SIGTERM at $delay ms left $(helpers_left)"
        [ ! -e "$folder/latestupdate.txt" ] || fail "$label: SIGTERM at $delay ms left the version file"
        left=$(reg_value "$window_key" Left) || left=""
        top=$(reg_value "$window_key" Top) || top=""
        if [ -n "$left$top" ]; then
            [ "$top" = 600 ] && [ "$left" -gt 0 ] && [ "$left" -lt $((1280 * 15)) ] ||
                fail "$label: SIGTERM at $delay ms saved the place $left,$top"
        elif [ -n "$mapped" ]; then
            fail "$label: SIGTERM at $delay ms, with the clock on screen, saved no place"
        fi
        echo "  $delay ms: status 0 after $ended ms, place ${left:-none},${top:-none}"
    done
    # The later signals find the update check still waiting on the silent server.
    if [ -n "$waiting" ] && [ "$checking" -eq 0 ]; then
        fail "$label: no signal came while an update check was running"
    fi
    pass "$label: SIGTERM at ${DELAYS[*]} ms after start ($checking during an update check)"
}

run_delays "shipped web root" "$BIN/tavlo-clock"
start_silent_server
run_delays "never-answering server" "$BIN/tavlo_clock_loopback" waiting
