#!/usr/bin/env bash
# misto rests while nobody can see its window: covered by another window or unmapped, it steps,
# traces and sends nothing (its CPU stays near nothing), and once shown again the rain goes on
# over the desktop.
#   test_resting.sh MISTO
set -u
. "$(dirname "$0")/x11_helpers.sh"
misto=$(readlink -f "$1")
need_programs Xvfb xdotool xlogo xwd convert compare

x11_begin 1280x720
# misto's own window: half the screen, at its top left corner (there is no window manager),
# showing the whole desktop scaled to its size.
region=640x360+0+0

# Rain that keeps moving in misto's window.
expect_rain() {
    poll_until 30 x11_not_desktop "$region" || x11_fail "nothing drawn in $1"
    x11_expect_moving "$region" "$1"
}

# CPU ticks (1/100 s) the process has used.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Whether the process used at most 4 ticks over the next 2 s: raining at this size costs tens.
resting() {
    local before
    before=$(ticks "$1") || return 1
    sleep 2
    [ $(($(ticks "$1") - before)) -le 4 ]
}

step "misto --window raining"
"$misto" --window --density 50 --delay 10000 >"$X11_TMP/misto.log" 2>&1 &
pid=$!
x11_started $pid
expect_rain "misto's window"
window=$(xdotool search --name '^Misto$' | head -n 1)
[ -n "$window" ] || x11_fail "misto's window has no name Misto"
resting $pid && x11_fail "raining took no CPU: the measure would prove nothing"

step "covered by another window"
xlogo -geometry 800x500+0+0 2>/dev/null &
cover=$!
x11_started $cover
poll_until 60 resting $pid || x11_fail "misto kept working under a window that covers it"
kill $cover
expect_rain "misto's window uncovered"

step "unmapped"
xdotool windowunmap "$window"
poll_until 60 resting $pid || x11_fail "misto kept working with its window unmapped"
xdotool windowmap "$window"
expect_rain "misto's window mapped again"

kill -TERM $pid
poll_until 30 process_gone $pid || x11_fail "misto did not end on SIGTERM"
wait $pid
status=$?
[ "$status" -eq 0 ] || x11_fail "misto ended with status $status: $(cat "$X11_TMP/misto.log")"
echo "PASS: misto rests while covered or unmapped and rains again when shown"
