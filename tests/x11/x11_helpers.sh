# Helpers for the end-to-end tests of misto under real X hosts: a private Xvfb with the test
# wallpaper as its desktop, screenshots and their comparison, polling waits, and clean-up of the
# processes a test started. Source it; call x11_begin WxH [Xvfb options] first.
# shellcheck shell=bash

X11_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$X11_ROOT/scripts/private-xvfb.sh"
. "$X11_ROOT/scripts/test-lib.sh"

X11_STARTED=()
# These tests are about X: run from a Wayland session, misto --fullscreen would rain there.
unset WAYLAND_DISPLAY

x11_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Ends what x11_begin and x11_started began; a test may begin again afterwards.
x11_end() {
    local pid
    for pid in "${X11_STARTED[@]}"; do kill "$pid" 2>/dev/null; done
    X11_STARTED=()
    if [ -n "${PRIVATE_XVFB_PID:-}" ]; then
        kill "$PRIVATE_XVFB_PID" 2>/dev/null
        wait "$PRIVATE_XVFB_PID" 2>/dev/null
        PRIVATE_XVFB_PID=""
    fi
    [ -n "${X11_TMP:-}" ] && rm -rf "$X11_TMP"
    X11_TMP=""
}

# Remembers a process this test started, to end it on the way out.
x11_started() { X11_STARTED+=("$1"); }

# A private -noreset server (the root picture stays when the last client leaves) showing the
# test wallpaper, scaled to the screen, as its desktop: $X11_TMP/desktop.png.
x11_begin() {
    local size=$1
    shift
    X11_TMP=$(mktemp -d)
    chmod 755 "$X11_TMP"
    trap x11_end EXIT
    private_xvfb "$size" -noreset "$@" || x11_fail "no Xvfb came up"
    X11_WIDTH=${size%x*}
    X11_HEIGHT=${size#*x}
    convert "$X11_ROOT/tests/data/wallpaper.png" -resize "${size}!" "$X11_TMP/desktop.png"
    # display returns 1 after setting the root's background here; the screenshot judges.
    timeout 30 display -window root "$X11_TMP/desktop.png" </dev/null >/dev/null 2>&1
    x11_shot "$X11_TMP/now.png"
    [ "$(x11_differing "$X11_TMP/desktop.png" "$X11_TMP/now.png")" = 0 ] ||
        x11_fail "the desktop picture did not reach the root window"
}

# The whole screen as PNG: x11_shot FILE [CROP as WxH+X+Y].
x11_shot() {
    if [ -n "${2:-}" ]; then
        timeout 30 xwd -root -silent | convert xwd:- -crop "$2" +repage "$1"
    else
        timeout 30 xwd -root -silent | convert xwd:- "$1"
    fi
}

# How many pixels two pictures of one size differ in.
x11_differing() {
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Succeeds when REGION (WxH+X+Y) of the screen differs from the same region of the desktop (or
# of the screen-sized picture PICTURE) in more than 0.05 % and fewer than 60 % of its pixels:
# rain over that picture, not a blank or foreign one. Leaves the region's screenshot in
# $X11_TMP/rain.png: x11_rain_over_desktop REGION [PICTURE].
x11_rain_over_desktop() {
    local region=$1 w h n
    w=${region%%x*}
    h=${region#*x}
    h=${h%%+*}
    convert "${2:-$X11_TMP/desktop.png}" -crop "$region" +repage "$X11_TMP/desktop-part.png"
    x11_shot "$X11_TMP/rain.png" "$region"
    n=$(x11_differing "$X11_TMP/desktop-part.png" "$X11_TMP/rain.png")
    [ "$n" -gt $((w * h / 2000)) ] && [ "$n" -lt $((w * h * 6 / 10)) ]
}

# Succeeds when REGION of the screen is no longer the desktop; leaves it in $X11_TMP/rain.png.
x11_not_desktop() {
    convert "$X11_TMP/desktop.png" -crop "$1" +repage "$X11_TMP/desktop-part.png"
    x11_shot "$X11_TMP/rain.png" "$1"
    [ "$(x11_differing "$X11_TMP/desktop-part.png" "$X11_TMP/rain.png")" -gt 0 ]
}

x11_region_changed() {
    x11_shot "$X11_TMP/later.png" "$1"
    [ "$(x11_differing "$X11_TMP/rain.png" "$X11_TMP/later.png")" -gt 0 ]
}

# Rain over the desktop (or PICTURE) in REGION that keeps changing: twice in a row the screen
# moves on from the last picture taken. Fails with a message naming WHAT:
# x11_expect_rain REGION WHAT [PICTURE].
x11_expect_rain() {
    poll_until 30 x11_rain_over_desktop "$1" "${3:-}" ||
        x11_fail "no rain over ${3:-the desktop} on $2"
    x11_expect_moving "$1" "$2"
}

# REGION keeps changing from the picture in $X11_TMP/rain.png: twice in a row.
x11_expect_moving() {
    local region=$1 what=$2 round
    for round in 1 2; do
        poll_until 30 x11_region_changed "$region" || x11_fail "the rain on $what stopped moving"
        mv "$X11_TMP/later.png" "$X11_TMP/rain.png"
    done
}

x11_desktop_back() {
    x11_shot "$X11_TMP/now.png"
    [ "$(x11_differing "$X11_TMP/desktop.png" "$X11_TMP/now.png")" = 0 ]
}

# Shared memory segments created by any of the given processes and still there (while misto
# runs, its picture's; a test checks that they were there, then that they went).
x11_segments_of() {
    local pids=" $* "
    ipcs -m -p | awk -v pids="$pids" '$1 ~ /^[0-9]+$/ && index(pids, " " $3 " ") { print $1 }'
}

# The misto processes on this test's display run by user UID, one a line (xscreensaver names
# the screen too: DISPLAY=:N.0).
x11_misto_pids() {
    local pid
    for pid in $(pgrep -u "$1" -x misto); do
        x11_environment_of "$pid" DISPLAY | grep -qxE "${DISPLAY//./\\.}(\.[0-9]+)?" && echo "$pid"
    done
}

# Fails unless PROGRAM is hardened as distributions build theirs (hardening-check). With
# --nocfprotection: Debian 12's crt1.o, crti.o and Scrt1.o carry no IBT/SHSTK property, so no
# program linked there is marked, whatever it is compiled with (docs/development.md).
x11_expect_hardened() {
    hardening-check --nocfprotection "$1" >"$X11_TMP/hardening" 2>&1 ||
        x11_fail "hardening-check: $(cat "$X11_TMP/hardening")"
}

# The value of VARIABLE in the environment of process PID.
x11_environment_of() {
    tr '\0' '\n' 2>/dev/null <"/proc/$1/environ" | sed -n "s/^$2=//p"
}
