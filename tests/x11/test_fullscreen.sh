#!/usr/bin/env bash
# misto --fullscreen on its own, over a screen split into two monitors: rain over the desktop on
# each monitor, a second --fullscreen ends at once while the first runs on, a key typed through
# XTEST ends the first with exit 0, the desktop is back pixel for pixel and no shared memory is
# left.
#   test_fullscreen.sh MISTO
set -u
. "$(dirname "$0")/x11_helpers.sh"
misto=$(readlink -f "$1")
need_programs Xvfb xrandr xdotool xwd convert compare ipcs
[ -x "$misto" ] || x11_fail "$misto is not a program"

step "starting Xvfb"
x11_begin 1280x720
xrandr --setmonitor LEFT 640/169x720/190+0+0 screen >/dev/null &&
    xrandr --setmonitor RIGHT 640/169x720/190+640+0 none >/dev/null ||
    x11_fail "xrandr could not split the screen into two monitors"

step "starting misto --fullscreen"
"$misto" --fullscreen >"$X11_TMP/misto.log" 2>&1 &
pid=$!
x11_started $pid
x11_expect_rain 640x720+0+0 "the left monitor"
x11_expect_rain 640x720+640+0 "the right monitor"

[ -n "$(x11_segments_of "$pid")" ] || x11_fail "--fullscreen draws without shared memory"

"$misto" --fullscreen >"$X11_TMP/second.log" 2>&1 &
second=$!
x11_started $second
poll_until 30 process_gone "$second" || x11_fail "a second --fullscreen did not end while one runs"
kill -0 "$pid" 2>/dev/null || x11_fail "the first --fullscreen ended when a second started"

step "typing a key"
xdotool key space
poll_until 30 process_gone "$pid" || x11_fail "--fullscreen did not end on a key"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || x11_fail "--fullscreen ended with status $status: $(cat "$X11_TMP/misto.log")"
poll_until 30 x11_desktop_back || x11_fail "the desktop is not back after --fullscreen ended"
[ -z "$(x11_segments_of "$pid")" ] || x11_fail "shared memory left behind by misto: $(ipcs -m -p)"
echo "PASS: --fullscreen rains on both monitors and ends on a key, desktop back, exit 0"
