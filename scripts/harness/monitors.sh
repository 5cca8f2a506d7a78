# Sessions on several monitors: one Xvfb screen split by RandR monitors, Wine on the X root.
# Part of wine-harness.sh.
# shellcheck shell=bash

# Set by wh_begin_monitors: each monitor as WxH+X+Y in the root window's pixels, primary first.
WH_MONITORS=()

# Creates a session on several monitors instead of Wine's virtual desktop, which only ever has
# one: wh_begin_monitors WxH+X+Y ..., the primary first, in Windows' screen coordinates (the
# primary at +0+0; others may lie left or above, at negative coordinates). One Xvfb screen as
# large as all of them together is split by RandR monitors; -noreset keeps them when xrandr's
# connection goes. Programs then run on the X root itself.
wh_begin_monitors() {
    local m w h x y minx=0 miny=0 maxx=0 maxy=0
    for m in "$@"; do
        IFS='x+' read -r w h x y <<<"$m"
        ((x < minx)) && minx=$x
        ((y < miny)) && miny=$y
        ((x + w > maxx)) && maxx=$((x + w))
        ((y + h > maxy)) && maxy=$((y + h))
    done
    WH_SIZE="$((maxx - minx))x$((maxy - miny))"
    WH_MONITORS=()
    for m in "$@"; do
        IFS='x+' read -r w h x y <<<"$m"
        WH_MONITORS+=("${w}x${h}+$((x - minx))+$((y - miny))")
    done
    WH_PARK_X=$((500 - minx))
    WH_PARK_Y=$((400 - miny))
    WH_XVFB_ARGS="-noreset"
    wh_begin
}

# Declares the monitors to X (the first one made is Wine's primary) and tells Wine to use them
# as they are: no XRandR (it would see one output), no window manager to place its windows.
wh_use_monitors() {
    local i=0 m w h x y
    for m in "${WH_MONITORS[@]}"; do
        IFS='x+' read -r w h x y <<<"$m"
        xrandr --setmonitor "misto$i" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y" \
            "$([ $i = 0 ] && echo screen || echo none)" >/dev/null 2>&1 ||
            wh_fail "xrandr cannot make monitor $m"
        i=$((i + 1))
    done
    wh_reg_add 'HKCU\Software\Wine\X11 Driver' UseXRandR REG_SZ N
    wh_reg_add 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
    # The driver reads its settings when the session's programs start: all of them end with the
    # server, and the next program starts them again.
    "$WH_SERVER" -k 2>/dev/null
    "$WH_SERVER" -w 2>/dev/null
    wh_start_server
}

# Without a virtual desktop the desktop is the X root: shows the picture there (it stays, as
# the server is not reset). ImageMagick's display answers 1 here even when it has done so.
wh_set_root_picture() { display -window root "$1" >/dev/null 2>&1 || true; }

# Crops monitor I (0 the primary) out of a screenshot of the root: wh_crop_monitor I IN OUT.
wh_crop_monitor() { convert "$2" -crop "${WH_MONITORS[$1]}" +repage "$3"; }

# Prints the number of pixels of monitor I.
wh_monitor_pixels() {
    local w h x y
    IFS='x+' read -r w h x y <<<"${WH_MONITORS[$1]}"
    echo $((w * h))
}
