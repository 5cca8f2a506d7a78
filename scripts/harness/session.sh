# The session: a private prefix copied from a booted template, a private X display, the
# programs started in it and the teardown. Part of wine-harness.sh; source that, not this.
# shellcheck shell=bash

WH_WINE=/usr/lib/wine/wine64
WH_SERVER=/usr/bin/wineserver
. "$WH_ROOT/scripts/private-xvfb.sh"
# The virtual desktop and X screen size; set WH_SIZE before sourcing to change it.
WH_SIZE=${WH_SIZE:-1024x768}
WH_TMP=""
WH_XVFB_PID=""
WH_PIDS=()
WH_LOG=""

# Prints a failure reason on one line and exits 1 (the trap cleans up). Inside a session it
# also prints what a reader needs to tell the test's fault from the session's: the titles of
# the windows on the display and the end of Wine's log.
wh_fail() {
    echo "FAIL: $*" >&2
    if [ -n "$WH_TMP" ] && [ -n "${DISPLAY:-}" ]; then
        echo "[harness] windows on $DISPLAY:" >&2
        xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep -o '"[^"]*"' | sort -u |
            head -n 20 | sed 's/^/    /' >&2
    fi
    if [ -n "$WH_LOG" ] && [ -s "$WH_LOG" ]; then
        echo "[harness] the end of Wine's log:" >&2
        tail -n 20 "$WH_LOG" | sed 's/^/    /' >&2
    fi
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
    wh_start_server
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

# Starts the prefix's wineserver for the whole session (wh_end stops it). A server started by
# a program's loader ends three seconds after its last program, and a program started while it
# ends may find no server; one that stays removes that race between the session's commands.
wh_start_server() { "$WH_SERVER" -p 2>>"$WH_LOG" || wh_fail "wineserver did not start"; }

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

# Starts a program in the virtual desktop in the background; its pid goes to WH_LAST_PID.
wh_start() {
    "$WH_WINE" "$@" >>"$WH_LOG" 2>&1 &
    WH_LAST_PID=$!
    WH_PIDS+=("$WH_LAST_PID")
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

# True while the process runs.
wh_alive() { kill -0 "$1" 2>/dev/null; }

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
# first, so that pictures taken before and after a program look alike.
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
