# SPDX-License-Identifier: GPL-3.0-or-later
# Exec-to-map times of several programs, measured in turns (one run of each,
# then the next round), so a change in the machine's load falls on all of them
# alike. Source it with BIN set; then:
#   map_side_by_side RUNS LABEL PROGRAM [LABEL PROGRAM...]
# prints min, median and max per program, and each median against the first.
map_side_by_side() {
    local runs=$1 i j t min median max
    shift
    local labels=() programs=()
    while [ $# -ge 2 ]; do
        labels+=("$1")
        programs+=("$2")
        shift 2
    done
    local times=()
    for j in "${!programs[@]}"; do
        "$BIN/tavlo_mapwait" "${programs[$j]}" >/dev/null || true # warm the caches
        times[$j]=""
    done
    for i in $(seq "$runs"); do
        for j in "${!programs[@]}"; do
            t=$("$BIN/tavlo_mapwait" "${programs[$j]}") || t=nan
            times[$j]+="$t "
        done
    done
    local base=""
    for j in "${!programs[@]}"; do
        read -r min median max <<<"$(echo "${times[$j]}" | tr ' ' '\n' | grep . | sort -n |
            awk '{v[NR] = $1} END {print v[1], v[int((NR + 1) / 2)], v[NR]}')"
        [ -z "$base" ] && base=$median
        printf '%-34s min %6.1f  median %6.1f  max %7.1f ms  (%.2f x %s)\n' "${labels[$j]}" \
            "$min" "$median" "$max" "$(echo "$median $base" | awk '{print $1 / $2}')" "${labels[0]}"
    done
}
