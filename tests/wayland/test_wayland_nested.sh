#!/usr/bin/env bash
# misto --fullscreen on a sway nested in a headless one, whose two outputs are windows of the
# outer sway: while the outer one hides both windows the inner one draws nothing and sends no
# frame callbacks, and misto rests, at most 1 % of the CPU it takes raining; shown again it
# rains on; an output taken away (its window closed) loses its rain while the other rains on;
# SIGTERM ends it with exit 0 and the desktop back.
#   test_wayland_nested.sh MISTO
set -u
. "$(dirname "$0")/wayland_helpers.sh"
misto=$(readlink -f "$1")
[ -x "$(dirname "$misto")/misto-wayland" ] || wl_fail "no misto-wayland beside $misto"

step "starting a headless sway and one nested in it"
wl_begin 1 960x360
misto=$(wl_stage "$misto")
wl_nest 2 400x300
wl_start_client "$WL_TMP/swaybg.log" swaybg -o '*' -i "$WL_TMP/share/misto/wallpaper.png" -m stretch
for output in WL-1 WL-2; do
    poll_until 60 wl_picture_settled "$output" || wl_fail "the wallpaper did not settle on $output"
    wl_keep_desktop "$output"
done

step "starting misto --fullscreen"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain WL-1
wl_expect_rain WL-2

# Nanoseconds misto has run on a processor (the scheduler's own account, finer than ticks).
cpu_ns() { awk '{ print $1 }' "/proc/$pid/schedstat"; }
# misto's CPU over the next SECONDS seconds, in nanoseconds: cpu_over SECONDS.
cpu_over() {
    local start
    start=$(cpu_ns)
    sleep "$1"
    echo $(($(cpu_ns) - start))
}
# At rest: over a second, at most 1 % of what three seconds of rain took.
resting_for_a_second() { [ $(($(cpu_over 1) * 300)) -le "$raining" ]; }

raining=$(cpu_over 3)
step "hiding both outputs: misto took $((raining / 1000000)) ms of CPU in 3 s raining"
[ "$raining" -gt 0 ] || wl_fail "misto took no CPU raining"
wl_outer_swaymsg '[app_id="wlroots"] move container to workspace 9' || wl_fail "sway could not hide the outputs"
# A hidden output cannot be copied (grim would wait for a frame that never comes): misto's
# CPU tells. The frames on their way when the windows went come first.
poll_until 30 resting_for_a_second || wl_fail "misto did not come to rest with its outputs hidden"
resting=$(cpu_over 3)
step "misto took $((resting / 1000)) µs of CPU in 3 s hidden"
[ $((resting * 100)) -le "$raining" ] ||
    wl_fail "misto took $resting ns of CPU in 3 s hidden, more than 1 % of the $raining ns raining"
kill -0 "$pid" 2>/dev/null || wl_fail "misto ended while hidden: $(cat "$WL_TMP/misto.log")"

step "showing them again"
wl_outer_swaymsg 'workspace 9' || wl_fail "sway could not show the outputs"
wl_expect_rain WL-1
wl_expect_rain WL-2

step "taking WL-2 away"
wl_outer_swaymsg '[title="WL-2"] kill' || wl_fail "sway could not close WL-2's window"
gone_2() { ! wl_shot "$WL_TMP/now.png" WL-2; }
poll_until 30 gone_2 || wl_fail "WL-2 is still there"
kill -0 "$pid" 2>/dev/null || wl_fail "misto ended when WL-2 went: $(cat "$WL_TMP/misto.log")"
wl_expect_rain WL-1

step "sending SIGTERM"
kill -TERM "$pid"
wl_expect_exit_0 "$pid" SIGTERM
wl_expect_desktops WL-1
echo "PASS: misto rests while its outputs are hidden ($((resting / 1000)) µs against $((raining / 1000)) µs in 3 s), rains on when shown, loses an output taken away, ends on SIGTERM"
