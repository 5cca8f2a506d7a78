#!/usr/bin/env bash
# misto's CPU a frame on an X server, beside a yardstick measured in the same run: on a private
# 1920x1080 Xvfb, bench/x11/present_reference.cpp shows one whole frame with XShmPutImage every
# 20 ms (what showing a new full picture each frame costs). misto runs on the root at each
# density in DENSITIES (default 0 25 50) for SECONDS_PER_RUN seconds (default 20) after a
# settling second or two; the CPU time of its process, and of the X server beside it, is read
# from /proc/PID/schedstat and divided by the frames of the 20 ms timer. The loop's own frame (the rain and
# the tracer without any presenting) is misto-render --bench's mean over the same frames, paced
# at 20 ms, same size, seed and settings; misto's cost beyond it is what presenting adds.
#
#   bench/scripts/x11_cpu.sh [BUILD_DIR]   (default build/release)
set -u
# shellcheck source=bench/scripts/frame_cpu.sh
. "$(dirname "$0")/frame_cpu.sh"
bench_settings "${1:-}" bench-x11 misto misto-render present-reference-x11
command -v xdotool >/dev/null || { echo "xdotool not found (scripts/install-deps)" >&2; exit 1; }
. "$root/scripts/private-xvfb.sh"
tmp=$(mktemp -d)
trap 'kill $PRIVATE_XVFB_PID 2>/dev/null; rm -rf "$tmp"' EXIT
private_xvfb "$size" -noreset || { echo "no Xvfb came up" >&2; exit 1; }
convert "$root/tests/data/wallpaper.png" -resize "${size}!" "$tmp/desktop.png"
display -window root "$tmp/desktop.png" >/dev/null 2>&1

# Starts the command, lets it settle, and prints "PROCESS_MS SERVER_MS" of CPU a 20 ms frame.
measure() {
    local pid
    "$@" >"$tmp/run.log" 2>&1 &
    pid=$!
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || { echo "$* ended: $(cat "$tmp/run.log")" >&2; exit 1; }
    cpu_per "$pid" "$PRIVATE_XVFB_PID" 20 "$run"
    kill -TERM "$pid"
    wait "$pid"
}

printf 'misto under Xvfb %s, %s s a run, 50 frames/s; CPU ms a frame\n' "$size" "$run"
printf '%-22s %8s %8s %8s %10s %12s\n' run process server both "/yardstick" "presenting"
read -r ref_p ref_s < <(measure "$build/present-reference-x11")
ref=$(awk -v p="$ref_p" -v s="$ref_s" 'BEGIN { print p + s }')
printf '%-22s %8.3f %8.3f %8.3f %10s %12s\n' "yardstick (XShmPut)" "$ref_p" "$ref_s" "$ref" 1 -
for density in $densities; do
    read -r p s < <(measure "$build/misto" --root --seed 1 --density "$density")
    loop=0
    [ "$density" = 0 ] || loop=$(loop_ms "$build/misto-render" "$size" "$tmp/desktop.png" "$density" "$settle" "$run")
    density_rows "$density" "$p" "$s" "$ref" "$loop"
done

# CPU ms a second of misto's window and the server, raining and then unmapped, in one run of misto.
printf '\nmisto --window (960x540) at density 50, %s s a state; CPU ms a second\n' "$run"
printf '%-22s %8s %8s %8s %10s\n' state process server both "/raining"
"$build/misto" --window --seed 1 --density 50 >"$tmp/window.log" 2>&1 &
window_pid=$!
sleep "$settle"
window=$(xdotool search --name '^Misto$' | head -n 1)
[ -n "$window" ] || { echo "misto --window showed no window: $(cat "$tmp/window.log")" >&2; exit 1; }
read -r rain_p rain_s < <(cpu_per "$window_pid" "$PRIVATE_XVFB_PID" 1000 "$run")
xdotool windowunmap "$window"
sleep 1
read -r hid_p hid_s < <(cpu_per "$window_pid" "$PRIVATE_XVFB_PID" 1000 "$run")
kill -TERM "$window_pid"
wait "$window_pid"
awk -v rp="$rain_p" -v rs="$rain_s" -v hp="$hid_p" -v hs="$hid_s" 'BEGIN {
    rain = rp + rs
    hidden = hp + hs
    printf "%-22s %8.3f %8.3f %8.3f %10s\n", "raining", rp, rs, rain, 1
    printf "%-22s %8.3f %8.3f %8.3f %9.2f %%\n", "hidden (unmapped)", hp, hs, hidden, hidden * 100 / rain
}'
