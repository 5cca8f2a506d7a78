#!/usr/bin/env bash
# CPU cost of the full-screen saver under Wine, side by side with a yardstick measured in the
# same run: bench/win32/present_reference.cpp sets the display up exactly like the saver and
# copies one whole frame to the screen on every 20 ms tick (what showing a new full picture
# each frame costs with this renderer). For each desktop size in SIZES and each density in
# DENSITIES the saver runs SECONDS_PER_RUN seconds (default 20); the CPU time of its own
# process is read from /proc and printed as milliseconds a frame at the timer's 50 frames a
# second, as a share of a core, and as a ratio to the yardstick. ROUNDS (default 1) repeats
# every run in turn and prints medians. EXTRA names more runs of the yardstick program, such as
# "slack=0 slack=4096" (the saver with another way of merging its changed areas). BEFORE names
# another build of misto.scr to measure at every density too (an older version, say).
#
#   bench/scripts/saver_cpu.sh [MISTO_SCR [PRESENT_REFERENCE]]   (default build/win64/...)
#
# Only the saver's process is counted: the X server and the Wine server also work for it
# (they take the finished picture), which the figures leave out.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
scr=${1:-$root/build/win64/misto.scr}
ref=${2:-$root/build/win64/present-reference.exe}
sizes=${SIZES:-1024x768 1920x1080 3840x2160}

# One Wine session per size: the X screen and the virtual desktop take the size at start.
if [ -z "${SAVER_CPU_ONE_SIZE:-}" ]; then
    printf 'saver CPU, %s s a run, %s round(s), 50 frames/s, renderer %s (process only)\n' \
        "${SECONDS_PER_RUN:-20}" "${ROUNDS:-1}" "${RENDERER:-gdi}"
    printf '%-10s %-26s %9s %6s %8s\n' size run ms/frame core ratio
    for size in $sizes; do
        SAVER_CPU_ONE_SIZE=1 WH_SIZE=$size "$0" "$scr" "$ref" || exit 1
    done
    exit 0
fi

WH_D3D_RENDERER=${RENDERER:-gdi}
. "$root/scripts/wine-harness.sh"
run=${SECONDS_PER_RUN:-20}
rounds=${ROUNDS:-1}
[ -f "$scr" ] || wh_fail "$scr not found (build the win64 preset first)"
[ -f "$ref" ] || wh_fail "$ref not found (build the win64 preset first)"
ticks=$(getconf CLK_TCK)

# Prints utime + stime of a process in clock ticks (fields 14 and 15 of its stat line, counted
# after the command name, which is in parentheses and may hold blanks).
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || wh_fail "process $1 is gone"
    stat=${stat##*) }
    echo "$stat" | awk '{ print $12 + $13 }'
}

# Runs PROGRAM with CONFIG and the extra words; prints CPU ms a frame. The measurement starts
# once the set-up is over (the screen shows the desktop or rain), so the start-up does not
# count.
measure() {
    local program=$1 config=$2 pid t0 t1 c0 c1
    shift 2
    wh_write_config "$config"
    wh_start_saver "$program" "$@"
    pid=$WH_SAVER_PID
    wh_wait_screen_change "$WH_TMP/desktop.png" 0 $(($(wh_screen_pixels) * 3 / 10)) 60 \
        >/dev/null || wh_fail "the saver did not show the desktop within 60 s"
    sleep 1
    c0=$(cpu_ticks "$pid")
    t0=$(date +%s%N)
    sleep "$run"
    c1=$(cpu_ticks "$pid")
    t1=$(date +%s%N)
    wh_alive "$pid" || wh_fail "the saver ended during the measurement"
    wh_key Escape
    wh_wait "$pid" 30 || wh_fail "the saver did not end on a key"
    awk -v c="$((c1 - c0))" -v hz="$ticks" -v ns="$((t1 - t0))" \
        'BEGIN { printf "%.3f\n", (c * 1000 / hz) / (ns / 1e6 / 20) }'
}

. "$here/median.sh"

wh_begin
wh_set_wallpaper "$WH_ROOT/tests/data/wallpaper.bmp"
wh_hold_desktop
sleep 1
wh_shot "$WH_TMP/desktop.png"

# Every run of a round in turn, so that a load that comes and goes spreads over all of them.
names=("reference (whole copy)")
for d in ${DENSITIES:-0 25 50}; do names+=("density $d"); done
for d in ${BEFORE:+${DENSITIES:-0 25 50}}; do names+=("before: density $d"); done
for e in ${EXTRA:-}; do names+=("$e, density ${EXTRA_DENSITY:-25}"); done
declare -A got
for ((r = 0; r < rounds; r++)); do
    got[0]+=" $(measure "$ref" "$(wh_config_with 8 0)" whole)"
    i=1
    for d in ${DENSITIES:-0 25 50}; do
        got[$i]+=" $(measure "$scr" "$(wh_config_with 8 "$d")")"
        i=$((i + 1))
    done
    for d in ${BEFORE:+${DENSITIES:-0 25 50}}; do
        got[$i]+=" $(measure "$BEFORE" "$(wh_config_with 8 "$d")")"
        i=$((i + 1))
    done
    for e in ${EXTRA:-}; do
        got[$i]+=" $(measure "$ref" "$(wh_config_with 8 "${EXTRA_DENSITY:-25}")" "$e")"
        i=$((i + 1))
    done
done
base=$(echo "${got[0]}" | median)
for ((i = 0; i < ${#names[@]}; i++)); do
    ms=$(echo "${got[$i]}" | median)
    awk -v size="$WH_SIZE" -v name="${names[$i]}" -v ms="$ms" -v base="$base" -v all="${got[$i]}" \
        'BEGIN { printf "%-10s %-26s %9.2f %5.0f%% %7.2fx   (runs:%s)\n",
                 size, name, ms, ms / 20 * 100, ms / base, all }'
done
