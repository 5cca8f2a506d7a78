# shellcheck shell=bash
# Sourced by the bench scripts that measure a Linux host's CPU a frame beside its display server
# (x11_cpu.sh, wayland_cpu.sh).

# The settings both share, in root, build, run, settle, densities and size, and a check that the
# build folder BUILD_DIR (empty: build/release) holds PROGRAMS, which the make target TARGET
# builds: bench_settings BUILD_DIR TARGET PROGRAM...
# shellcheck disable=SC2034 # the scripts that source this use them
bench_settings() {
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    build=$(readlink -f "${1:-$root/build/release}")
    run=${SECONDS_PER_RUN:-20}
    settle=2
    densities=${DENSITIES:-0 25 50}
    size=1920x1080
    local target=$2 program
    shift 2
    for program in "$@"; do
        [ -x "$build/$program" ] || { echo "$build/$program not found (make $target builds it)" >&2; exit 1; }
    done
}

# Nanoseconds a process has run on a processor (the scheduler's own account). utime and stime
# are sampled at the clock tick, and a program woken by a 20 ms timer runs right at the tick, so
# they charge misto several times what it runs.
cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat" || exit 1; }

# Prints "PROCESS_MS SERVER_MS": the CPU of process PID and of the server SERVER_PID over the
# next SECONDS, in ms for every UNIT_MS of the time that passed: cpu_per PID SERVER_PID UNIT_MS
# SECONDS.
cpu_per() {
    local c0 s0 t0 c1 s1 t1
    c0=$(cpu_ns "$1")
    s0=$(cpu_ns "$2")
    t0=$(date +%s%N)
    sleep "$4"
    c1=$(cpu_ns "$1")
    s1=$(cpu_ns "$2")
    t1=$(date +%s%N)
    awk -v c="$((c1 - c0))" -v s="$((s1 - s0))" -v ns="$((t1 - t0))" -v unit="$3" \
        'BEGIN { f = ns / 1e6 / unit; printf "%.3f %.3f\n", c / 1e6 / f, s / 1e6 / f }'
}

# The loop's own CPU a frame over the frames misto is measured on, a frame every 20 ms as misto
# draws them (straight after one another, frames find warmer caches and cost half as much): the
# rain builds up for a minute or more, so a median from the first frame on would compare a
# drier pane. misto-render's mean over the settling frames is taken off its mean over all of
# them (the same rain, frame for frame):
#   loop_ms MISTO_RENDER WxH PICTURE DENSITY SETTLE_SECONDS RUN_SECONDS
loop_ms() {
    local settled=$(($5 * 50)) all=$((($5 + $6) * 50)) m1 m2
    m1=$(render_mean "$1" "$2" "$3" "$4" "$settled")
    m2=$(render_mean "$1" "$2" "$3" "$4" "$all")
    awk -v a="$m1" -v b="$m2" -v n1="$settled" -v n2="$all" \
        'BEGIN { printf "%.3f\n", (b * n2 - a * n1) / (n2 - n1) }'
}

# misto-render's mean frame over the first N frames, seed 1:
#   render_mean MISTO_RENDER WxH PICTURE DENSITY N
render_mean() {
    local out
    out=$(mktemp -d)
    "$1" --bench --size "$2" --seed 1 --density "$4" --image "$3" \
        --frames "$5" --every "$5" --pace 20 --out "$out" 2>/dev/null |
        sed -n 's/^bench: .* mean \([0-9.]*\) ms.*/\1/p'
    rm -rf "$out"
}

# Prints one density's row of the table, and the loop's below it (density 0 has none):
#   density_rows DENSITY PROCESS_MS SERVER_MS YARDSTICK_MS LOOP_MS
density_rows() {
    awk -v d="$1" -v p="$2" -v s="$3" -v ref="$4" -v loop="$5" 'BEGIN {
        both = p + s
        presenting = (d == 0 || loop <= 0) ? "-" : sprintf("%+.0f %%", (p - loop) * 100 / loop)
        printf "%-22s %8.3f %8.3f %8.3f %10.3f %12s\n", "misto density " d, p, s, both, both / ref, presenting
        if (d != 0) printf "%-22s %8.3f %8s %8s %10s %12s\n", "  its loop (render)", loop, "-", "-", "-", "-"
    }'
}
