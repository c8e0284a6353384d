# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the benchmarks that run the programs: the end-to-end set-up, the
# CPU time and peak memory of a program, and programs measured side by side.
# Usage: source this file with BIN set, as e2e/lib.sh.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

# CPU time of every thread of a process so far, in ns.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
hwm_kib() { awk '/VmHWM/{ print $2 }' "/proc/$1/status"; }
# CPU time of each thread of a process: "tid ns" lines. cpu_since PID MARK
# gives the time used since the mark by the threads alive now, so a thread
# that ends in between (Qt's pooled threads expire) makes no negative count.
cpu_mark() {
    local task
    for task in /proc/"$1"/task/*; do
        echo "${task##*/} $(awk '{ print $1 }' "$task/schedstat" 2>/dev/null)"
    done
}
cpu_since() {
    awk 'NR == FNR { then[$1] = $2; next } NF == 2 { used += $2 - ($1 in then ? then[$1] : 0) }
         END { print used + 0 }' <(echo "$2") <(cpu_mark "$1")
}

# CPU and peak memory of running programs over the same SECONDS, each also
# against the first. Arguments: SECONDS, then LABEL PID pairs.
idle_side_by_side() {
    local seconds=$1 labels=() pids=() before=() used=() i
    shift
    while [ $# -ge 2 ]; do
        labels+=("$1")
        pids+=("$2")
        shift 2
    done
    for i in "${!pids[@]}"; do before[i]=$(cpu_mark "${pids[i]}"); done
    sleep "$seconds"
    for i in "${!pids[@]}"; do used[i]=$(cpu_since "${pids[i]}" "${before[i]}"); done
    for i in "${!pids[@]}"; do
        awk -v l="${labels[i]}" -v d="${used[i]}" -v s="$seconds" -v c="${used[0]}" \
            -v m="$(hwm_kib "${pids[i]}")" -v hc="$(hwm_kib "${pids[0]}")" -v first="${labels[0]}" \
            'BEGIN { printf "%-22s CPU %.4f %% of one core (%.1f ms in %d s), %.2f x %s; VmHWM %.1f MiB (%+.2f MiB)\n", l, d / (s * 1e7), d / 1e6, s, (c > 0 ? d / c : 0), first, m / 1024, (m - hc) / 1024 }'
    done
}
