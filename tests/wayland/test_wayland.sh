#!/usr/bin/env bash
# misto --fullscreen in a Wayland session: on a headless sway with two outputs over a swaybg
# wallpaper, misto hands the run to its Wayland host, which rains over the wallpaper on both
# outputs; a key typed through a virtual keyboard ends it with exit 0 and the wallpaper is back
# pixel for pixel. Later runs end the same way on a move of the pointer by more than 2 pixels
# (not on one of 2), on a click and on SIGTERM.
#   test_wayland.sh MISTO VIRTUAL_POINTER
set -u
. "$(dirname "$0")/wayland_helpers.sh"
misto=$(readlink -f "$1")
[ -x "$misto" ] || wl_fail "$misto is not a program"
[ -x "$(dirname "$misto")/misto-wayland" ] || wl_fail "no misto-wayland beside $misto"
pointer=$(readlink -f "$2")

step "starting a headless sway"
wl_begin 2 320x240
misto=$(wl_stage "$misto")
pointer=$(wl_stage "$pointer")
wl_wallpaper HEADLESS-1
poll_until 60 wl_desktop_on HEADLESS-2 || wl_fail "the wallpaper did not reach HEADLESS-2"
# A pointer on the seat from the start, as a mouse would be, over HEADLESS-1.
wl_start_pointer "$pointer"
wl_pointer_step abs 100 100 640 240
wl_keep_desktop HEADLESS-1 cursor
wl_keep_desktop HEADLESS-2

# misto ends with exit 0 and the wallpaper (and the cursor where it was) is back on both
# outputs: expect_ended PID WHAT.
expect_ended() {
    wl_expect_exit_0 "$@"
    wl_expect_desktops HEADLESS-1 HEADLESS-2
}

step "starting misto --fullscreen"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-1
wl_expect_rain HEADLESS-2

step "typing a key"
wl_run wtype x || wl_fail "wtype could not type"
expect_ended "$pid" "a key"

step "moving the pointer"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-1
# Whether the first position misto sees is the one before these steps or after the first,
# neither step takes the pointer more than 2 pixels away from it.
wl_pointer_step rel 2 0
wl_pointer_step rel -2 0
# Rain drawn after the moves: misto has read them, and rains on.
poll_until 30 wl_output_changed HEADLESS-1 && kill -0 "$pid" 2>/dev/null ||
    wl_fail "misto ended on a move of 2 pixels: $(cat "$WL_TMP/misto.log")"
wl_pointer_step rel 10 0
wl_expect_exit_0 "$pid" "a move of the pointer by 10 pixels"
# The cursor back where the desktop was kept with it.
wl_pointer_step rel -10 0
wl_expect_desktops HEADLESS-1 HEADLESS-2

step "clicking"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-1
wl_pointer_step click
expect_ended "$pid" "a click"

step "sending SIGTERM"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-2
kill -TERM "$pid"
expect_ended "$pid" "SIGTERM"
echo "PASS: misto --fullscreen rains on both Wayland outputs, ends on a key, a pointer move, a click and SIGTERM, exit 0, wallpaper back"
