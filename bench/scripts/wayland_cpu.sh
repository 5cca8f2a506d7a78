#!/usr/bin/env bash
# misto's CPU a frame on a Wayland compositor, beside a yardstick measured in the same run: on a
# private headless sway (pixman renderer) with one 1920x1080 output showing the test wallpaper,
# bench/wayland/present_reference.cpp commits a whole new wl_shm buffer to a full-output layer
# surface every 20 ms (what showing a new full picture each frame costs). misto --fullscreen,
# which hands the session to misto-wayland in the same process, runs at each density in
# DENSITIES (default 0 25 50) for SECONDS_PER_RUN seconds (default 20) after a settling second
# or two; the CPU time of its process, and of sway beside it, is read from /proc/PID/schedstat
# and divided by the frames of the 20 ms timer. The loop's own frame is misto-render --bench's
# mean over the same frames, as bench/scripts/x11_cpu.sh takes it; misto's cost beyond it is
# what presenting adds.
#
#   bench/scripts/wayland_cpu.sh [BUILD_DIR]   (default build/release)
set -u
# shellcheck source=bench/scripts/frame_cpu.sh
. "$(dirname "$0")/frame_cpu.sh"
bench_settings "${1:-}" bench-wayland misto misto-wayland misto-render present-reference-wayland
output=HEADLESS-1
. "$root/tests/wayland/wayland_helpers.sh"
wl_begin 1 "$size"
misto=$(wl_stage "$build/misto")
reference=$(wl_stage "$build/present-reference-wayland")
wl_wallpaper "$output"

# Starts the command as a client of sway, lets it settle, and sets PROCESS_MS and SERVER_MS to
# the CPU a 20 ms frame of its process, which runs as PROGRAM by then, and of sway; once it has
# ended, the wallpaper is back: measure PROGRAM COMMAND...
measure() {
    local program=$1 pid kept=() started
    shift
    wl_start_client "$WL_TMP/run.log" "$@"
    pid=$WL_PID
    sleep "$settle"
    kill -0 "$pid" 2>/dev/null || wl_fail "$* ended: $(cat "$WL_TMP/run.log")"
    # The kernel keeps the first 15 characters of a program's name.
    [ "$(cat "/proc/$pid/comm")" = "${program:0:15}" ] ||
        wl_fail "$* runs as $(cat "/proc/$pid/comm"), not as $program"
    read -r PROCESS_MS SERVER_MS < <(cpu_per "$pid" "$WL_SWAY_PID" 20 "$run")
    kill -TERM "$pid"
    wait "$pid" || wl_fail "$* ended with status $? on SIGTERM: $(cat "$WL_TMP/run.log")"
    # Ended and waited for: wl_end has no more to do with this pid.
    for started in "${WL_STARTED[@]}"; do [ "$started" = "$pid" ] || kept+=("$started"); done
    WL_STARTED=("${kept[@]}")
    poll_until 30 wl_desktop_on "$output" || wl_fail "the wallpaper is not back after $*"
}

printf 'misto under headless sway (pixman) %s, %s s a run, 50 frames/s; CPU ms a frame\n' \
    "$size" "$run"
printf '%-22s %8s %8s %8s %10s %12s\n' run process server both "/yardstick" "presenting"
measure present-reference-wayland "$reference"
ref=$(awk -v p="$PROCESS_MS" -v s="$SERVER_MS" 'BEGIN { print p + s }')
printf '%-22s %8.3f %8.3f %8.3f %10s %12s\n' "yardstick (wl_shm)" "$PROCESS_MS" "$SERVER_MS" \
    "$ref" 1 -
for density in $densities; do
    # misto hands a Wayland session to misto-wayland by exec: the pid measured is the host's.
    measure misto-wayland "$misto" --fullscreen --seed 1 --density "$density"
    loop=0
    [ "$density" = 0 ] ||
        loop=$(loop_ms "$build/misto-render" "$size" "$WL_TMP/desktop.png" "$density" "$settle" "$run")
    density_rows "$density" "$PROCESS_MS" "$SERVER_MS" "$ref" "$loop"
done
