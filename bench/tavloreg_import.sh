#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times `tavloreg import` of a .reg file with COUNT values (2000 by default)
# into a fresh settings folder, RUNS times (5 by default), and prints the
# fastest, median and slowest wall time.
# Usage: bench/tavloreg_import.sh [BUILD_DIR]
set -euo pipefail
BUILD=${1:-build}
TAVLOREG=$(cd "$BUILD/bin" && pwd)/tavloreg
COUNT=${COUNT:-2000}
RUNS=${RUNS:-5}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

file="$WORK/values.reg"
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\SOFTWARE\\TavloBench\\Settings\\Details]\r\n'
    for i in $(seq "$COUNT"); do
        printf '"%dColor"="%d"\r\n' "$i" "$((i * 7919))"
    done
} >"$file"

times=()
for run in $(seq "$RUNS"); do
    export XDG_CONFIG_HOME="$WORK/config$run"
    start=$(date +%s%N)
    "$TAVLOREG" import "$file" >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
    stored=$("$TAVLOREG" query 'HKCU\SOFTWARE\TavloBench\Settings\Details' | grep -c REG_SZ)
    [ "$stored" -eq "$COUNT" ] || { echo "run $run stored $stored of $COUNT values" >&2; exit 1; }
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "tavloreg import of $COUNT values, $RUNS runs (ms):" \
    "min $(echo "$sorted" | head -1)" \
    "median $(echo "$sorted" | sed -n "$(((RUNS + 1) / 2))p")" \
    "max $(echo "$sorted" | tail -1)"
