#!/usr/bin/env bash
# CPU cost of the full-screen saver under Wine at 1024x768: runs `misto.scr /s` for a while
# (20 s unless SECONDS_PER_RUN says otherwise) with the default configuration and again with
# density 0 (no drops: the cost of copying the whole picture to the screen every frame), reads
# the CPU time of the program's own process from /proc, and prints milliseconds of CPU per
# frame at the timer's 50 frames a second beside the CPU share of one core, for each of Wine's
# Direct3D renderers named in RENDERERS (default "gdi gl").
#
#   bench/saver_cpu.sh [MISTO_SCR]     (default build/win64/misto.scr)
#
# Only the saver's process is counted: the X server and the Wine server also work for it
# (they take the finished picture), which the figures leave out.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-harness.sh"
scr=${1:-$WH_ROOT/build/win64/misto.scr}
run=${SECONDS_PER_RUN:-20}
[ -f "$scr" ] || wh_fail "$scr not found (build the win64 preset first)"
ticks=$(getconf CLK_TCK)

# Prints utime + stime of a process in clock ticks (fields 14 and 15 of its stat line, counted
# after the command name, which is in parentheses and may hold blanks).
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || wh_fail "process $1 is gone"
    stat=${stat##*) }
    echo "$stat" | awk '{ print $12 + $13 }'
}

# Runs the saver with the given configuration; sets MS (CPU ms a frame) and PCT (share of a
# core in percent). The
# measurement starts once the set-up is over (the screen shows the desktop or rain), so the
# start-up does not count.
measure() {
    local config=$1 pid t0 t1 c0 c1
    wh_write_config "$config"
    wh_start_saver "$scr"
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
    wh_wait "$pid" 20 || wh_fail "the saver did not end on a key"
    read -r MS PCT < <(awk -v c="$((c1 - c0))" -v hz="$ticks" -v ns="$((t1 - t0))" 'BEGIN {
        cpu_ms = c * 1000 / hz; wall_ms = ns / 1e6; frames = wall_ms / 20
        printf "%.2f %.0f\n", cpu_ms / frames, 100 * cpu_ms / wall_ms }')
}

wh_begin
wh_set_wallpaper "$WH_ROOT/tests/data/wallpaper.bmp"
wh_hold_desktop
sleep 1
wh_shot "$WH_TMP/desktop.png"

# Both of Wine's Direct3D renderers: GDI (the harness's choice, the saver's own cost) and
# OpenGL (Wine's default; without a GPU it is Mesa's software GL, whose present dominates).
printf 'saver CPU at %s, %s s a run, 50 frames/s (misto.scr process only):\n' "$WH_SIZE" "$run"
for renderer in ${RENDERERS:-gdi gl}; do
    wh_reg_add 'HKCU\Software\Wine\Direct3D' renderer REG_SZ "$renderer"
    measure "$(wh_config_with 8 0)"
    copy_ms=$MS copy_pct=$PCT
    measure "$WH_DEFAULT_CONFIG"
    printf '  renderer %-4s %-34s %6s ms/frame  %4s %% of a core\n' "$renderer" \
        "density 0 (full-screen copy only)" "$copy_ms" "$copy_pct" \
        "$renderer" "default configuration (rain)" "$MS" "$PCT"
done
