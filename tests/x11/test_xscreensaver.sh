#!/usr/bin/env bash
# The real xscreensaver daemon runs misto from its programs: line, on one monitor and on two:
# rain over the desktop on each monitor's window, the program ends on -deactivate, the desktop
# is back pixel for pixel, and no shared memory segment of misto's is left. With
# grabDesktopImages False, misto (started by its bare name, as stock entries are, from an
# installed layout) rains over a picture of the image folder when chooseRandomImages is True,
# passing over a damaged file and a folder there, and over the bundled scene when it is False.
#   test_xscreensaver.sh MISTO
set -u
. "$(dirname "$0")/x11_helpers.sh"
misto=$(readlink -f "$1")
need_programs Xvfb xscreensaver xscreensaver-command setpriv xrandr xwd convert compare ipcs pgrep
[ -x "$misto" ] || x11_fail "$misto is not a program"

# The daemon refuses to start programs as root; it runs as nobody.
user=65534

daemon_ready() { timeout 30 xscreensaver-command -time >/dev/null 2>&1; }
count_is() { [ "$(x11_misto_pids "$user" | wc -l)" -eq "$1" ]; }
none_left() { [ -z "$(x11_misto_pids "$user")" ]; }

# run_case MONITORS [RANDOM_IMAGES]: one case on a fresh 1280x720 server split into that many
# monitors; with RANDOM_IMAGES (True or False) xscreensaver hands over no desktop and misto
# chooses from the image folder (True) or shows the bundled scene (False).
run_case() {
    local monitors=$1 images=${2:-} home pids pid windows region expected="" preferences=""
    local program
    step "$monitors monitor(s) ${images:+(chooseRandomImages $images)}: starting Xvfb"
    x11_begin 1280x720
    if [ "$monitors" -eq 2 ]; then
        xrandr --setmonitor LEFT 640/169x720/190+0+0 screen >/dev/null &&
            xrandr --setmonitor RIGHT 640/169x720/190+640+0 none >/dev/null ||
            x11_fail "xrandr could not split the screen into two monitors"
    fi
    home=$X11_TMP/home
    mkdir "$home"
    # The daemon's user may not reach the build tree (a checkout under a private home): it runs
    # a copy from the session's folder.
    install -m 755 "$misto" "$X11_TMP/misto"
    program=$X11_TMP/misto
    if [ -n "$images" ]; then
        program=misto
        # Installed as a package lays it out; the daemon puts the program's folder on PATH.
        install -D -m 755 "$misto" "$X11_TMP/hacks/misto"
        install -D -m 644 "$X11_ROOT/resources/x11/wallpaper.png" "$X11_TMP/share/misto/wallpaper.png"
        mkdir -p "$X11_TMP/pictures/album.png"
        convert -size 1280x720 gradient:'#1f6f4a'-'#d8ecff' -depth 8 "$X11_TMP/pictures/garden.png"
        head -c 5000 /dev/urandom >"$X11_TMP/pictures/broken.jpg"
        preferences="grabDesktopImages: False
chooseRandomImages: $images
imageDirectory: $X11_TMP/pictures"
        expected=$X11_TMP/pictures/garden.png
        [ "$images" = True ] || expected=$X11_TMP/share/misto/wallpaper.png
    fi
    cat >"$home/.xscreensaver" <<CONFIG
lock: False
fade: False
unfade: False
splash: False
mode: one
selected: 0
programs: $program --root
$preferences
CONFIG
    chown -R "$user:$user" "$home"
    setpriv --reuid=$user --regid=$user --clear-groups env -i HOME="$home" DISPLAY="$DISPLAY" \
        PATH="${images:+$X11_TMP/hacks:}/usr/bin:/bin" xscreensaver --no-splash >"$X11_TMP/daemon.log" 2>&1 &
    x11_started $!
    step "$monitors monitor(s): starting the daemon"
    poll_until 30 daemon_ready || x11_fail "the xscreensaver daemon did not answer within 30 s"

    step "$monitors monitor(s): activating"
    timeout 30 xscreensaver-command -activate >/dev/null || x11_fail "xscreensaver-command -activate failed"
    poll_until 30 count_is "$monitors" ||
        x11_fail "$monitors monitor(s): xscreensaver did not start $monitors misto process(es):" \
            "$(x11_misto_pids $user | wc -l) running; daemon: $(cat "$X11_TMP/daemon.log")"
    pids=$(x11_misto_pids "$user")
    windows=""
    for pid in $pids; do windows+="$(x11_environment_of "$pid" XSCREENSAVER_WINDOW) "; done
    [ "$(echo "$windows" | tr ' ' '\n' | grep . | sort -u | wc -l)" -eq "$monitors" ] ||
        x11_fail "$monitors monitor(s): the programs do not each have their own window: $windows"

    step "$monitors monitor(s): waiting for rain"
    if [ "$monitors" -eq 1 ]; then
        x11_expect_rain 1280x720+0+0 "the screen" "$expected"
    else
        x11_expect_rain 640x720+0+0 "the left monitor"
        x11_expect_rain 640x720+640+0 "the right monitor"
    fi

    [ -n "$(x11_segments_of $pids)" ] ||
        x11_fail "$monitors monitor(s): misto draws without shared memory under xscreensaver"

    step "$monitors monitor(s): deactivating"
    timeout 30 xscreensaver-command -deactivate >/dev/null || x11_fail "xscreensaver-command -deactivate failed"
    poll_until 30 none_left || x11_fail "$monitors monitor(s): misto still runs after -deactivate"
    poll_until 30 x11_desktop_back ||
        x11_fail "$monitors monitor(s): the desktop is not back after -deactivate:" \
            "$(x11_differing "$X11_TMP/desktop.png" "$X11_TMP/now.png") pixels differ; windows:" \
            "$(xwininfo -root -children 2>&1 | tail -n +6 | head -20); daemon: $(tail -n 20 "$X11_TMP/daemon.log")"
    [ -z "$(x11_segments_of $pids)" ] ||
        x11_fail "$monitors monitor(s): shared memory left behind by misto: $(ipcs -m -p)"
    # The programs' standard error goes to the daemon's.
    grep -iq "sanitizer\|runtime error\|signal 11\|signal 6\|core dumped" "$X11_TMP/daemon.log" &&
        x11_fail "$monitors monitor(s): misto failed: $(cat "$X11_TMP/daemon.log")"
    x11_end
}

run_case 1
run_case 2
run_case 1 True
run_case 1 False
echo "PASS: xscreensaver runs misto on one and on two monitors, over the image folder or the" \
    "bundled scene without the desktop; -deactivate ends it cleanly"
