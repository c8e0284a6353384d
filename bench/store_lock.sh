#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The clock against another program holding the settings database's write
# lock, and against a 5 MB value: first start to window, SIGTERM to exit, and
# idle CPU. Usage: bench/store_lock.sh [BUILD_DIR] [CLOCK_BINARY]
BUILD=${1:-build}
BIN=$(cd "$BUILD/bin" && pwd)
CLOCK=${2:-$BIN/tavlo-clock}
source "$(dirname "$0")/../e2e/lib.sh"
start_x
db="$XDG_CONFIG_HOME/tavlo/registry.db"
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

echo "== lock held by another program ($(basename "$CLOCK"))"
"$BIN/tavloreg" add 'HKCU\SOFTWARE\Other' /v x /d 1 /f >/dev/null # the database, nothing of the clock
"$BIN/tavlo_storestall" --hold "$db" 300 >"$WORK/holder.log" &
holder=$!
PIDS+=($holder)
wait_until 5 grep -q locked "$WORK/holder.log" || fail "no lock"
start=$(date +%s%N)
start_app "$CLOCK"
for _ in $(seq 60); do wait_window fapp_CLOCK >/dev/null && break; done
echo "first start to clock window: $(ms_since "$start") ms"
sleep 1
start=$(date +%s%N)
kill -TERM "$APP_PID"
for _ in $(seq 2000); do kill -0 "$APP_PID" 2>/dev/null || break; sleep 0.1; done
echo "SIGTERM to exit: $(ms_since "$start") ms; beside the database: $(cd "${db%/*}" && ls | tr '\n' ' ')"
kill "$holder"
wait "$holder" 2>/dev/null || true

echo "== a 5 MB \"0Style-modern\" written by tavloreg"
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n"0Style-modern"="' "$settings_key"
    head -c $((5 << 20)) /dev/zero | tr '\0' x
    printf '"\r\n'
} >"$WORK/huge.reg"
"$BIN/tavloreg" import "$WORK/huge.reg" >/dev/null || fail "import failed"
start_app "$CLOCK"
wait_window fapp_CLOCK >/dev/null || fail "no clock window"
sleep 2
before=$(awk '{print $1}' "/proc/$APP_PID/schedstat")
sleep 10
after=$(awk '{print $1}' "/proc/$APP_PID/schedstat")
echo "CPU over 10 s: $(((after - before) / 1000000)) ms"
kill -TERM "$APP_PID"
wait_exit "$APP_PID"
