# Shared helpers for the end-to-end tests and the demo: a private Wine session (own prefix,
# own X display, Wine's virtual desktop), screenshots, input, registry and message boxes.
# Source it, then call wh_begin; the EXIT trap set by wh_begin tears everything down.
# shellcheck shell=bash

WH_WINE=/usr/lib/wine/wine64
WH_SERVER=/usr/bin/wineserver
WH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$WH_ROOT/scripts/private-xvfb.sh"
WH_DESKTOP=misto
# The virtual desktop and X screen size; set WH_SIZE before sourcing to change it.
WH_SIZE=${WH_SIZE:-1024x768}
WH_TMP=""
WH_XVFB_PID=""
WH_PIDS=()
# Where wh_start_saver parks the pointer: on the primary monitor, away from its edges.
WH_PARK_X=500
WH_PARK_Y=400
# Set by wh_begin_monitors: each monitor as WxH+X+Y in the root window's pixels, primary first.
WH_MONITORS=()
WH_LOG=""
WH_SAVER_KEY='HKCU\Software\Tarnwick Labs\Misto Screen Saver'
WH_MACHINE_KEY='HKLM\Software\Tarnwick Labs\Misto Screen Saver'
# The configuration the installer writes by default (54 bytes, little-endian fields).
WH_DEFAULT_CONFIG=00020000000100001900000028000000E4CB164004000000050000000100020000001E00000020030000800200002000000050000000

# Prints a failure reason on one line and exits 1 (the trap cleans up).
wh_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Prints a progress note to stderr when WH_VERBOSE is set.
wh_note() { [ -n "${WH_VERBOSE:-}" ] && echo "[harness] $*" >&2 || true; }

# Prints the path of a booted template prefix for this Wine version, booting it once under a lock.
wh_template() {
    local ver dir
    ver=$("$WH_WINE" --version | tr -c 'A-Za-z0-9.\n' '_')
    dir="$WH_ROOT/build/e2e-template-$ver"
    mkdir -p "$WH_ROOT/build"
    (
        flock 9
        if [ ! -f "$dir/.booted" ]; then
            rm -rf "$dir"
            mkdir -p "$dir"
            # A private server for the boot, waited for, so the copy is consistent.
            # With the i386 handler the boot also sets up the prefix's 32-bit half, which the
            # 32-bit programs need (scripts/i386-binfmt).
            "$WH_ROOT/scripts/i386-binfmt" on >/dev/null 2>&1
            WINEPREFIX="$dir" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
                "$WH_WINE" wineboot -i >/dev/null 2>&1
            WINEPREFIX="$dir" "$WH_SERVER" -w
            touch "$dir/.booted"
        fi
    ) 9>"$dir.lock"
    echo "$dir"
}

# Starts a private Xvfb of the session's size and exports DISPLAY.
wh_start_xvfb() {
    # shellcheck disable=SC2086 # WH_XVFB_ARGS holds separate options
    private_xvfb "$WH_SIZE" ${WH_XVFB_ARGS:-} || wh_fail "no X server came up"
    WH_XVFB_PID=$PRIVATE_XVFB_PID
}

# Creates the session: temp folder, prefix copied from the template, display, Wine environment.
wh_begin() {
    WH_TMP=$(mktemp -d /tmp/misto-e2e.XXXXXX)
    trap wh_end EXIT
    trap 'exit 130' INT TERM
    local tpl
    tpl=$(wh_template)
    cp -a "$tpl" "$WH_TMP/prefix" || wh_fail "cannot copy the template prefix"
    export WINEPREFIX="$WH_TMP/prefix"
    # Message boxes are read from the log; WH_WINEDEBUG adds channels for a closer look.
    export WINEDEBUG=-all,trace+msgbox${WH_WINEDEBUG:+,$WH_WINEDEBUG}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    WH_LOG="$WH_TMP/wine.log"
    : >"$WH_LOG"
    if [ -n "${WH_USE_DISPLAY:-}" ] && [ -n "${DISPLAY:-}" ]; then
        wh_note "using display $DISPLAY"
    else
        wh_start_xvfb
    fi
    if [ ${#WH_MONITORS[@]} -gt 0 ]; then wh_use_monitors; else wh_use_virtual_desktop; fi
    # Xvfb has no GPU: wined3d's default OpenGL renderer draws through Mesa's software GL,
    # and presenting the primary surface alone then takes a whole core (16 to 20 ms of CPU a
    # frame at 1024x768 against 0.9 ms with the GDI renderer), which starves the tests that
    # share the machine. WH_D3D_RENDERER=gl puts the default back.
    wh_reg_add 'HKCU\Software\Wine\Direct3D' renderer REG_SZ "${WH_D3D_RENDERER:-gdi}"
    wh_note "prefix $WINEPREFIX display $DISPLAY"
}

# Ends what this session started (by pid), stops its own prefix's server, removes the temp folder
# (WH_KEEP=1 keeps it, without the prefix, to look at Wine's log and the pictures).
wh_end() {
    local rc=$?
    local p
    for p in "${WH_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    if [ -n "$WH_TMP" ] && [ -d "$WH_TMP/prefix" ]; then
        WINEPREFIX="$WH_TMP/prefix" "$WH_SERVER" -k 2>/dev/null
        WINEPREFIX="$WH_TMP/prefix" timeout 10 "$WH_SERVER" -w 2>/dev/null
    fi
    for p in "${WH_PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done
    [ -n "$WH_XVFB_PID" ] && kill "$WH_XVFB_PID" 2>/dev/null
    if [ -n "${WH_KEEP:-}" ] && [ -n "$WH_TMP" ]; then
        rm -rf "$WH_TMP/prefix"
        echo "[harness] kept $WH_TMP (Wine's log, pictures)" >&2
    elif [ -n "$WH_TMP" ]; then
        rm -rf "$WH_TMP"
    fi
    WH_TMP=""
    return $rc
}

# Converts a Linux path to the Z: drive path Wine gives it.
wh_winpath() { echo "Z:$(realpath "$1" | tr / '\\')"; }

# True in the tests of 32-bit programs (WH_PROGRAM_BITS=32): those see the machine's keys under
# Wow6432Node, have syswow64 as their system directory, and run under QEMU on our machines.
wh_program_is_32bit() { [ "${WH_PROGRAM_BITS:-64}" = 32 ]; }

# Runs Wine's reg in the registry view of the programs under test.
wh_reg() {
    if wh_program_is_32bit; then
        "$WH_WINE" reg "$@" /reg:32
    else
        "$WH_WINE" reg "$@"
    fi
}

# Writes a registry value: wh_reg_add KEY NAME TYPE DATA.
# Tried three times: the first command in a freshly copied prefix starts its wineserver, and
# under load (ctest -j) that start has now and then failed the command (seen once in 20 runs).
wh_reg_add() {
    local try
    for try in 1 2 3; do
        wh_reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 && return 0
        sleep 1
    done
    wh_fail "reg add $1 $2 failed three times"
}

# Prints a registry value's data (empty and status 1 when it is missing): wh_reg_query KEY NAME.
wh_reg_query() {
    local out
    out=$(wh_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    echo "$out" | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print; f = 1 }
        END { exit !f }'
}

# Deletes a registry key with everything under it (no error when absent).
wh_reg_delete_key() { wh_reg delete "$1" /f >/dev/null 2>&1 || true; }

# Writes a configuration (hex, default: the installer's) as HKCU's (or the given key's) value.
wh_write_config() {
    wh_reg_add "${2:-$WH_SAVER_KEY}" Configuration REG_BINARY "${1:-$WH_DEFAULT_CONFIG}"
}

# Prints the default configuration with fields replaced, little-endian: OFFSET VALUE ...
# An offset written OFFSET:1 is a one-byte field (the two flags), any other a 32-bit one.
# Layout: 8 density, 12 windForce, 20 minDropRadius, 24 dropRadiusSpread, 28:1 useDesktopMode,
# 29:1 restartEnabled, 30 restartMinutes, 34 restartSeconds, 38 modeWidth, 42 modeHeight,
# 46 modeBits, 50 modeRefresh.
wh_config_with() {
    local hex=$WH_DEFAULT_CONFIG off size val le i
    while [ $# -ge 2 ]; do
        off=${1%%:*}
        size=4
        [ "$1" != "$off" ] && size=${1#*:}
        val=$2
        shift 2
        le=""
        for ((i = 0; i < size; i++)); do le+=$(printf '%02X' $(((val >> (8 * i)) & 255))); done
        hex="${hex:0:$((off * 2))}$le${hex:$((off * 2 + size * 2))}"
    done
    echo "$hex"
}

# Sets the virtual desktop's wallpaper (a .bmp, Linux path).
wh_set_wallpaper() {
    wh_reg_add 'HKCU\Control Panel\Desktop' Wallpaper REG_SZ "$(wh_winpath "$1")"
}

# Puts every program of the prefix into one virtual desktop. Started through the desktop
# switch of explorer, a program's exit code is lost (explorer returns 0); started plainly with
# this default in place, the loader returns the program's own code.
wh_use_virtual_desktop() {
    wh_reg_add 'HKCU\Software\Wine\Explorer' Desktop REG_SZ "$WH_DESKTOP"
    wh_reg_add 'HKCU\Software\Wine\Explorer\Desktops' "$WH_DESKTOP" REG_SZ "$WH_SIZE"
}

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
    # The driver reads its settings when the server starts.
    "$WH_SERVER" -k 2>/dev/null
    "$WH_SERVER" -w 2>/dev/null
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

# Starts a program in the virtual desktop in the background; its pid goes to WH_LAST_PID.
wh_start() {
    "$WH_WINE" "$@" >>"$WH_LOG" 2>&1 &
    WH_LAST_PID=$!
    WH_PIDS+=("$WH_LAST_PID")
}

# Begins a session over the bundled wallpaper with the desktop held open, and photographs the
# bare desktop into $WH_TMP/desktop.png (the reference the saver's pictures are compared with).
wh_begin_on_wallpaper() {
    wh_begin
    wh_set_wallpaper "$WH_ROOT/tests/data/wallpaper.bmp"
    wh_hold_desktop
    sleep 1
    wh_shot "$WH_TMP/desktop.png"
}

# Keeps the virtual desktop open (a minimised notepad) so the bare desktop can be photographed.
# Wine gives the focus to the minimised notepad whenever a full-screen program's window goes,
# which turns its title bar from grey to blue; an About box shown and closed once does the same
# now, so that pictures taken before and after a program look alike.
wh_hold_desktop() {
    local about
    wh_start cmd /c start /min notepad
    wh_wait_window Notepad 60 >/dev/null || wh_fail "the virtual desktop did not open"
    wh_start winver
    about=$WH_LAST_PID
    wh_wait_visible '^About Wine' 60 >/dev/null || wh_fail "the About box did not show"
    # Typed to the focused box, not sent to its window: a release sent after the window has
    # gone would leave Return held down for Wine, and the next program would see a key.
    sleep 0.3
    wh_key Return
    wh_wait "$about" 30 || wh_fail "the About box did not close on Return"
}

# Waits up to SECONDS for pid to end and sets WH_RC to its exit code; status 1 on time-out.
# Not for use inside $(...): a subshell cannot collect its parent's children.
wh_wait() {
    local pid=$1 limit=$2 end
    end=$(($(date +%s) + limit))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.1
    done
    WH_RC=0
    wait "$pid" || WH_RC=$?
}

# Waits up to SECONDS for a window whose title matches the regex; prints its X window id.
# Further arguments are options of xdotool's search (such as --onlyvisible).
wh_wait_window() {
    local title=$1 limit=$2 end id
    shift 2
    end=$(($(date +%s) + limit))
    while :; do
        id=$(xdotool search "$@" --name "$title" 2>/dev/null | head -n 1)
        [ -n "$id" ] && {
            echo "$id"
            return 0
        }
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.2
    done
}

# Prints the texts of all message boxes shown so far, one a line.
wh_msgbox_texts() {
    sed -n 's/.*MSGBOX_OnInit L"\(.*\)"[^"]*$/\1/p' "$WH_LOG" | tr -d '\r'
}

# Waits for a message box with the given caption, then closes it with Return; status 1 if none
# appears or it stays open. xdotool's own status says nothing here: the box vanishes while
# xdotool still works on its window, and xdotool then reports BadWindow for a key that landed.
wh_close_msgbox() {
    local id try i
    id=$(wh_wait_window "^$1\$" "${2:-60}") || return 1
    for try in 1 2 3; do
        sleep 0.3
        # Typed through XTEST: keys sent to a window (XSendEvent) may be dropped by Wine, or
        # leave Return held down for the next program. Typed keys go to the X input focus, which
        # the box does not always have: when a program's last window closes, Wine may hand the
        # X focus to another program's window (the session's Notepad) and leave it there while
        # the box shows, above all under load. Then the X focus is set on the box itself
        # (XSetInputFocus: there is no window manager, so windowactivate cannot work) before
        # typing again.
        [ "$try" = 1 ] || timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1
        xdotool key Return >/dev/null 2>&1
        for i in $(seq 20); do
            xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$id" || return 0
            sleep 0.1
        done
    done
    return 1
}

# Saves a screenshot of the whole display as PNG.
wh_shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "png:$1"; }

# Saves a raw screenshot (xwd format, no conversion: a few milliseconds) for later comparison.
wh_shot_raw() { xwd -root -silent -display "$DISPLAY" >"$1"; }

# Prints how many pixels differ between two pictures of the same size; with a third argument,
# only pixels whose colours lie more than that many percent apart count (for converted depths).
# Either picture may be PNG or xwd (prefix "xwd:").
wh_diff_pixels() {
    compare -metric AE ${3:+-fuzz "$3%"} "$1" "$2" null: 2>&1 | awk '{print int($1)}'
}

# Prints the number of pixels of the virtual desktop (its width times its height).
wh_screen_pixels() { echo $((${WH_SIZE%x*} * ${WH_SIZE#*x})); }

# Prints a picture's mean brightness in percent (0 black, 100 white).
wh_brightness() { convert "$1" -colorspace Gray -format '%[fx:int(100*mean+0.5)]' info:; }

# True while the process runs.
wh_alive() { kill -0 "$1" 2>/dev/null; }

# Waits up to SECONDS for a visible window whose title matches the regex; prints its id.
wh_wait_visible() { wh_wait_window "$1" "$2" --onlyvisible; }

# Starts the full-screen saver (extra arguments are added to /s) with the cursor parked at
# (WH_PARK_X, WH_PARK_Y) first, so the move Wine sends when the window appears lands there;
# waits for its window to show. Its pid goes to WH_SAVER_PID.
wh_start_saver() {
    local scr=$1
    shift
    wh_mouse_to "$WH_PARK_X" "$WH_PARK_Y"
    wh_start "$(wh_winpath "$scr")" /s "$@"
    WH_SAVER_PID=$WH_LAST_PID
    local end=$(($(date +%s) + 60))
    until xdotool search --onlyvisible --name '^Misto Screen Saver$' >/dev/null 2>&1; do
        if ! wh_alive "$WH_SAVER_PID"; then
            wh_wait "$WH_SAVER_PID" 1
            wh_fail "the saver ended with $WH_RC before its window showed;" \
                "boxes: $(wh_msgbox_texts)"
        fi
        [ "$(date +%s)" -ge "$end" ] && wh_fail "the saver's window did not show within 60 s"
        sleep 0.2
    done
}

# Waits up to SECONDS until the screen differs from the reference picture in MIN to MAX
# pixels (with an optional colour tolerance in percent); prints the last count. Status 1 on
# time-out. Used to wait for the first drops without guessing how long the set-up takes; the
# upper bound lets the black moment before the first frame pass.
wh_wait_screen_change() {
    local ref=$1 min=$2 max=$3 limit=$4 fuzz=${5:-} end n shot="$WH_TMP/wait.xwd"
    end=$(($(date +%s) + limit))
    while :; do
        wh_shot_raw "$shot"
        n=$(wh_diff_pixels "$ref" "xwd:$shot" "$fuzz")
        [ "${n:-0}" -ge "$min" ] && [ "${n:-0}" -le "$max" ] && {
            echo "$n"
            return 0
        }
        [ "$(date +%s)" -ge "$end" ] && {
            echo "${n:-0}"
            return 1
        }
        sleep 0.2
    done
}

# Presses a key (xdotool key name) on the focused window.
wh_key() { xdotool key "$1"; }

# Moves the mouse to absolute screen coordinates.
wh_mouse_to() { xdotool mousemove "$1" "$2"; }

# Clicks a mouse button (1 left, 2 middle, 3 right, 4 and 5 the wheel).
wh_click() { xdotool click "$1"; }

# Photographs the screen as often as it can for SECONDS, then prints, one a line, how many
# pixels of each picture differ from the reference (optional colour tolerance in percent).
# The pictures are compared after the recording so that the samples lie close together.
wh_record_changes() {
    local ref=$1 seconds=$2 fuzz=${3:-} end i=0 f
    end=$(($(date +%s%N) / 1000000 + seconds * 1000))
    mkdir -p "$WH_TMP/series"
    rm -f "$WH_TMP"/series/*.xwd
    while [ $(($(date +%s%N) / 1000000)) -lt "$end" ]; do
        wh_shot_raw "$(printf '%s/series/%04d.xwd' "$WH_TMP" "$i")"
        i=$((i + 1))
        sleep 0.05
    done
    for f in "$WH_TMP"/series/*.xwd; do wh_diff_pixels "$ref" "xwd:$f" "$fuzz"; done
}

# Reads counts (one a line) and prints how many times the count fell to at most a third of
# the highest count seen since the previous fall, where that highest count was at least MIN:
# the number of times the picture went back to (nearly) the reference.
wh_count_falls() {
    awk -v min="$1" '{ if (peak >= min && $1 * 3 <= peak) { falls++; peak = $1 }
                       else if ($1 > peak) peak = $1 }
                     END { print falls + 0 }'
}
