#!/usr/bin/env bash
# xsecurelock runs misto as its saver (XSECURELOCK_SAVER): misto gets -root and the window in
# decimal, rain falls on the screen and keeps falling (over the bundled picture: the locker
# hands over no desktop picture), and SIGTERM to xsecurelock ends both, leaving no shared memory
# and the desktop as it was.
#   test_xsecurelock.sh MISTO
set -u
. "$(dirname "$0")/x11_helpers.sh"
misto=$(readlink -f "$1")
need_programs Xvfb xsecurelock xwd convert compare ipcs pgrep
[ -x "$misto" ] || x11_fail "$misto is not a program"

one_misto() { [ "$(x11_misto_pids "$(id -u)" | wc -l)" -eq 1 ]; }
none_left() { [ -z "$(x11_misto_pids "$(id -u)")" ]; }

step "starting Xvfb"
x11_begin 1280x720
step "locking"
XSECURELOCK_SAVER=$misto xsecurelock >"$X11_TMP/locker.log" 2>&1 &
locker=$!
x11_started $locker
poll_until 30 one_misto || x11_fail "xsecurelock did not start misto: $(cat "$X11_TMP/locker.log")"
pid=$(x11_misto_pids "$(id -u)")
window=$(x11_environment_of "$pid" XSCREENSAVER_WINDOW)
[[ "$window" =~ ^[0-9]+$ ]] || x11_fail "xsecurelock passed the window as \"$window\", not in decimal"
tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q -- "-root" || x11_fail "misto was not started with -root"

step "waiting for rain"
poll_until 30 x11_not_desktop 1280x720+0+0 || x11_fail "nothing shows on the locked screen"
x11_expect_moving 1280x720+0+0 "the locked screen"

[ -n "$(x11_segments_of "$pid")" ] || x11_fail "misto draws without shared memory under xsecurelock"

step "ending xsecurelock"
kill -TERM "$locker"
poll_until 30 process_gone "$locker" || x11_fail "xsecurelock did not end on SIGTERM"
poll_until 30 none_left || x11_fail "misto still runs after xsecurelock ended"
poll_until 30 x11_desktop_back || x11_fail "the desktop is not back after xsecurelock ended"
[ -z "$(x11_segments_of "$pid")" ] || x11_fail "shared memory left behind by misto: $(ipcs -m -p)"
grep -iq "sanitizer\|segmentation\|core dumped" "$X11_TMP/locker.log" &&
    x11_fail "misto failed under xsecurelock: $(cat "$X11_TMP/locker.log")"
echo "PASS: xsecurelock runs misto as its saver; SIGTERM ends both cleanly"
