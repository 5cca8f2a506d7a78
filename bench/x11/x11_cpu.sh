#!/usr/bin/env bash
# misto's CPU a frame on an X server, beside a yardstick measured in the same run: on a private
# 1920x1080 Xvfb, bench/x11/present_reference.cpp shows one whole frame with XShmPutImage every
# 20 ms (what showing a new full picture each frame costs). misto runs on the root at each
# density in DENSITIES (default 0 25 50) for SECONDS_PER_RUN seconds (default 20) after a
# settling second or two; the CPU time of its process, and of the X server beside it, is read
# from /proc and divided by the frames of the 20 ms timer. The loop's own frame (the rain and
# the tracer without any presenting) is misto-render --bench's median over as many frames, same
# size, seed and settings; misto's cost beyond it is what presenting adds.
#
#   bench/x11/x11_cpu.sh [BUILD_DIR]   (default build/release)
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(readlink -f "${1:-$root/build/release}")
run=${SECONDS_PER_RUN:-20}
settle=2
densities=${DENSITIES:-0 25 50}
size=1920x1080
for program in misto misto-render present-reference-x11; do
    [ -x "$build/$program" ] || { echo "$build/$program not found (make bench-x11 builds it)" >&2; exit 1; }
done
. "$root/scripts/private-xvfb.sh"
tmp=$(mktemp -d)
trap 'kill $PRIVATE_XVFB_PID 2>/dev/null; rm -rf "$tmp"' EXIT
private_xvfb "$size" -noreset || { echo "no Xvfb came up" >&2; exit 1; }
convert "$root/tests/data/wallpaper.png" -resize "${size}!" "$tmp/desktop.png"
display -window root "$tmp/desktop.png" >/dev/null 2>&1
ticks=$(getconf CLK_TCK)

# utime + stime of a process in clock ticks (fields 14 and 15, counted after the command name,
# which is in parentheses and may hold blanks).
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat") || exit 1
    stat=${stat##*) }
    echo "$stat" | awk '{ print $12 + $13 }'
}

# Starts the command, lets it settle, and prints "PROCESS_MS SERVER_MS" of CPU a 20 ms frame.
measure() {
    local pid c0 s0 t0 c1 s1 t1
    "$@" >"$tmp/run.log" 2>&1 &
    pid=$!
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || { echo "$* ended: $(cat "$tmp/run.log")" >&2; exit 1; }
    c0=$(cpu_ticks "$pid")
    s0=$(cpu_ticks "$PRIVATE_XVFB_PID")
    t0=$(date +%s%N)
    sleep "$run"
    c1=$(cpu_ticks "$pid")
    s1=$(cpu_ticks "$PRIVATE_XVFB_PID")
    t1=$(date +%s%N)
    kill -TERM "$pid"
    wait "$pid"
    awk -v c="$((c1 - c0))" -v s="$((s1 - s0))" -v hz="$ticks" -v ns="$((t1 - t0))" \
        'BEGIN { f = ns / 1e6 / 20; printf "%.3f %.3f\n", c * 1000 / hz / f, s * 1000 / hz / f }'
}

frames=$(((settle + run) * 50))
printf 'misto under Xvfb %s, %s s a run, 50 frames/s; CPU ms a frame\n' "$size" "$run"
printf '%-22s %8s %8s %8s %10s %12s\n' run process server both "/yardstick" "presenting"
read -r ref_p ref_s < <(measure "$build/present-reference-x11")
ref=$(awk -v p="$ref_p" -v s="$ref_s" 'BEGIN { print p + s }')
printf '%-22s %8.3f %8.3f %8.3f %10s %12s\n' "yardstick (XShmPut)" "$ref_p" "$ref_s" "$ref" 1 -
for density in $densities; do
    read -r p s < <(measure "$build/misto" --root --seed 1 --density "$density")
    loop=$("$build/misto-render" --bench --size "$size" --seed 1 --density "$density" \
        --image "$tmp/desktop.png" --frames "$frames" --every "$frames" --out "$tmp/frames" 2>/dev/null |
        sed -n 's/^bench: .* median \([0-9.]*\) ms.*/\1/p')
    awk -v d="$density" -v p="$p" -v s="$s" -v ref="$ref" -v loop="$loop" 'BEGIN {
        both = p + s
        presenting = (d == 0 || loop <= 0) ? "-" : sprintf("+%.0f %%", (p - loop) * 100 / loop)
        printf "%-22s %8.3f %8.3f %8.3f %10.3f %12s\n", "misto density " d, p, s, both, both / ref, presenting
        if (d != 0) printf "%-22s %8.3f %8s %8s %10s %12s\n", "  its loop (render)", loop, "-", "-", "-", "-"
    }'
done
