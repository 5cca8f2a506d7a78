#!/usr/bin/env bash
# misto --fullscreen in a Wayland session: on a headless sway with two outputs over a swaybg
# wallpaper, misto hands the run to its Wayland host, which rains over the wallpaper on both
# outputs; a key typed through a virtual keyboard ends it with exit 0 and the wallpaper is back
# pixel for pixel. A second run ends on SIGTERM the same way.
#   test_wayland.sh MISTO
set -u
. "$(dirname "$0")/wayland_helpers.sh"
misto=$(readlink -f "$1")
[ -x "$misto" ] || wl_fail "$misto is not a program"
[ -x "$(dirname "$misto")/misto-wayland" ] || wl_fail "no misto-wayland beside $misto"

wl_step "starting a headless sway"
wl_begin 2 320x240
wl_wallpaper HEADLESS-1
wl_wait 60 wl_desktop_on HEADLESS-2 || wl_fail "the wallpaper did not reach HEADLESS-2"

# Ends with exit 0 once the process PID is gone, and the wallpaper is back on both outputs:
# expect_ended PID WHAT.
expect_ended() {
    local pid=$1 what=$2 status output
    wl_wait 30 wl_gone "$pid" || wl_fail "misto did not end on $what"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || wl_fail "misto ended on $what with status $status: $(cat "$WL_TMP/misto.log")"
    for output in HEADLESS-1 HEADLESS-2; do
        wl_wait 30 wl_desktop_on "$output" || wl_fail "the wallpaper is not back on $output"
    done
}

wl_step "starting misto --fullscreen"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-1
wl_expect_rain HEADLESS-2

wl_step "typing a key"
wl_run wtype x || wl_fail "wtype could not type"
expect_ended "$pid" "a key"

wl_step "starting misto --fullscreen again"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-2
kill -TERM "$pid"
expect_ended "$pid" "SIGTERM"
echo "PASS: misto --fullscreen rains on both Wayland outputs, ends on a key and on SIGTERM, exit 0, wallpaper back"
