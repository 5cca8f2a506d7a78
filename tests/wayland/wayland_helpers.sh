# Helpers for the end-to-end tests of misto under Wayland: a private headless sway run by an
# unprivileged user (sway refuses to run as root), commands run as that user on it, screenshots
# through grim and their comparison, polling waits, and clean-up of exactly what a test started.
# Source it; call wl_begin first. docs/development.md ("Wayland under test") has the facts.
# shellcheck shell=bash

WL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$WL_ROOT/scripts/test-lib.sh"
# The user the compositor and its clients run as: nobody, unless the caller is no root.
WL_UID=65534
WL_GID=65534
WL_STARTED=()
WL_SWAY_PID=""
WL_NESTED_PID=""
WL_TMP=""

wl_fail() {
    echo "FAIL: $*" >&2
    [ -n "$WL_TMP" ] && [ -f "$WL_TMP/sway.log" ] && tail -n 20 "$WL_TMP/sway.log" >&2
    exit 1
}

# The command line that runs COMMAND as the compositor's user, in an environment of the
# compositor's only, in $WL_COMMAND: wl_command COMMAND...
wl_command() {
    WL_COMMAND=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$WL_RUNTIME"
        XDG_RUNTIME_DIR="$WL_RUNTIME" WAYLAND_DISPLAY="$WL_DISPLAY")
    [ "$(id -u)" = 0 ] && WL_COMMAND+=(setpriv --reuid="$WL_UID" --regid="$WL_GID" --clear-groups)
    WL_COMMAND+=("$@")
}

# Runs COMMAND on the compositor as its user and waits for it.
wl_run() {
    wl_command "$@"
    "${WL_COMMAND[@]}"
}

# A copy of PROGRAM that the compositor's user can run wherever the build lies (a checkout in
# root's home is closed to others), with misto-wayland beside it when PROGRAM has one and the
# bundled scene where an installed misto looks for it; prints the copy's path. After wl_begin:
# wl_stage PROGRAM.
wl_stage() {
    local from=$1
    mkdir -p "$WL_TMP/bin" "$WL_TMP/share/misto"
    cp "$from" "$WL_TMP/bin/" || wl_fail "cannot copy $from"
    if [ -x "$(dirname "$from")/misto-wayland" ]; then
        cp "$(dirname "$from")/misto-wayland" "$WL_TMP/bin/" || wl_fail "cannot copy misto-wayland"
    fi
    cp "$WL_ROOT/resources/x11/wallpaper.png" "$WL_TMP/share/misto/"
    chmod -R a+rX "$WL_TMP/bin" "$WL_TMP/share"
    echo "$WL_TMP/bin/$(basename "$from")"
}

# Starts COMMAND as wl_run would, in the background, remembered to be ended on the way out;
# its pid (the command's own: env and setpriv replace themselves) is in $WL_PID. Its output
# goes to LOG: wl_start_client LOG COMMAND...
wl_start_client() {
    local log=$1
    shift
    wl_command "$@"
    "${WL_COMMAND[@]}" >"$log" 2>&1 &
    WL_PID=$!
    WL_STARTED+=("$WL_PID")
}

# Ends what wl_begin and wl_start_client began, each by its own pid.
wl_end() {
    local pid
    for pid in "${WL_STARTED[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${WL_STARTED[@]}"; do wait "$pid" 2>/dev/null; done
    WL_STARTED=()
    if [ -n "$WL_SWAY_PID" ]; then
        kill "$WL_SWAY_PID" 2>/dev/null
        wait "$WL_SWAY_PID" 2>/dev/null
        WL_SWAY_PID=""
    fi
    [ -n "$WL_TMP" ] && rm -rf "$WL_TMP"
    WL_TMP=""
}

# swaymsg to the sway of process PID through its IPC socket, its answer on stdout:
# wl_sway_ipc PID SWAYMSG_ARGUMENTS...
wl_sway_ipc() {
    local pid=$1
    shift
    wl_run env SWAYSOCK="$WL_RUNTIME/sway-ipc.$WL_UID.$pid.sock" swaymsg "$@"
}

# A command to the sway the clients run on (the nested one after wl_nest), as swaymsg takes
# it: wl_swaymsg COMMAND...
wl_swaymsg() { wl_sway_ipc "${WL_NESTED_PID:-$WL_SWAY_PID}" "$@" >/dev/null; }

# The same to the headless sway, which shows the nested one's outputs as windows.
wl_outer_swaymsg() { wl_sway_ipc "$WL_SWAY_PID" "$@" >/dev/null; }

# Process PID, a misto started by wl_start_client with its output in $WL_TMP/misto.log, ends
# within 30 s with exit 0: wl_expect_exit_0 PID WHAT (what ended it).
wl_expect_exit_0() {
    local pid=$1 what=$2 status
    poll_until 30 process_gone "$pid" || wl_fail "misto did not end on $what"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || wl_fail "misto ended on $what with status $status: $(cat "$WL_TMP/misto.log")"
}

# Each OUTPUT shows its desktop again (wl_desktop_of) within 30 s: wl_expect_desktops OUTPUT...
wl_expect_desktops() {
    local output
    for output in "$@"; do
        poll_until 30 wl_desktop_on "$output" || wl_fail "the desktop is not back on $output"
    done
}

# A second sway, whose OUTPUTS outputs (WL-1, WL-2, ...) are windows side by side on the
# headless one, floating at WxH each so that none changes size when another goes; the clients
# run on it from now on, and $WL_WIDTH x $WL_HEIGHT is each output's size: wl_nest OUTPUTS WxH.
wl_nest() {
    local outer=$WL_DISPLAY
    wl_command env WLR_BACKENDS=wayland WLR_WL_OUTPUTS="$1" WLR_RENDERER=pixman \
        WLR_LIBINPUT_NO_DEVICES=1 sway -c "$WL_TMP/sway.config"
    "${WL_COMMAND[@]}" >"$WL_TMP/nested.log" 2>&1 &
    WL_NESTED_PID=$!
    WL_STARTED+=("$WL_NESTED_PID")
    nested_named() {
        kill -0 "$WL_NESTED_PID" 2>/dev/null || wl_fail "the nested sway ended at start: $(tail -5 "$WL_TMP/nested.log")"
        WL_DISPLAY=$(find "$WL_RUNTIME" -maxdepth 1 -type s -name 'wayland-*' ! -name "$outer" -printf '%f\n' | head -1)
        [ -n "$WL_DISPLAY" ]
    }
    poll_until 60 nested_named || wl_fail "the nested sway made no Wayland socket"
    poll_until 60 wl_socket_up || wl_fail "the nested sway does not answer on $WL_DISPLAY"
    WL_WIDTH=${2%x*}
    WL_HEIGHT=${2#*x}
    local i
    for ((i = 1; i <= $1; i++)); do
        wl_outer_swaymsg "[title=\"WL-$i\$\"] floating enable, border none, resize set $WL_WIDTH $WL_HEIGHT," \
            "move position $(((i - 1) * (WL_WIDTH + 8))) 0" || wl_fail "sway could not place WL-$i"
        sized() {
            wl_shot "$WL_TMP/now.png" "WL-$i" &&
                [ "$(identify -format %wx%h "$WL_TMP/now.png")" = "$2" ]
        }
        poll_until 60 sized "$@" || wl_fail "WL-$i did not come to $2: $(identify -format %wx%h "$WL_TMP/now.png")"
    done
}

# Succeeds when two pictures of OUTPUT taken one after the other are the same.
wl_steady() {
    wl_shot "$WL_TMP/then.png" "$1" && wl_shot "$WL_TMP/now.png" "$1" &&
        cmp -s "$WL_TMP/then.png" "$WL_TMP/now.png"
}

# Succeeds when OUTPUT shows a picture, not sway's plain background, and holds it.
wl_picture_settled() {
    wl_steady "$1" && [ "$(identify -format %k "$WL_TMP/now.png")" -gt 1 ]
}

wl_socket_up() { [ -S "$WL_RUNTIME/$WL_DISPLAY" ] && wl_run wayland-info >/dev/null 2>&1; }

# A private headless sway with OUTPUTS outputs of WxH each, side by side, HEADLESS-1 on the
# left: wl_begin OUTPUTS WxH. $WL_TMP is a folder the compositor's user can read; the runtime
# folder ($WL_RUNTIME, 0700) is that user's alone.
wl_begin() {
    local outputs=$1 size=$2 i
    need_programs sway grim swaybg wtype wayland-info setpriv convert compare
    if [ "$(id -u)" != 0 ]; then
        WL_UID=$(id -u)
        WL_GID=$(id -g)
    fi
    WL_TMP=$(mktemp -d)
    chmod 755 "$WL_TMP"
    trap wl_end EXIT
    WL_RUNTIME=$WL_TMP/runtime
    mkdir -m 700 "$WL_RUNTIME"
    [ "$(id -u)" = 0 ] && chown "$WL_UID:$WL_GID" "$WL_RUNTIME"
    WL_WIDTH=${size%x*}
    WL_HEIGHT=${size#*x}
    {
        echo "xwayland disable"
        for ((i = 1; i <= outputs; i++)); do
            echo "output HEADLESS-$i resolution $size position $(((i - 1) * WL_WIDTH)),0"
        done
    } >"$WL_TMP/sway.config"
    chmod 644 "$WL_TMP/sway.config"
    # sway picks a free wayland-N in the runtime folder itself; it is read back below.
    WL_DISPLAY=""
    env -i PATH=/usr/bin:/bin HOME="$WL_RUNTIME" XDG_RUNTIME_DIR="$WL_RUNTIME" \
        WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS="$outputs" WLR_RENDERER=pixman \
        WLR_LIBINPUT_NO_DEVICES=1 \
        $([ "$(id -u)" = 0 ] && echo setpriv --reuid="$WL_UID" --regid="$WL_GID" --clear-groups) \
        sway -c "$WL_TMP/sway.config" >"$WL_TMP/sway.log" 2>&1 &
    WL_SWAY_PID=$!
    poll_until 60 wl_display_named || wl_fail "sway made no Wayland socket"
    poll_until 60 wl_socket_up || wl_fail "sway does not answer on $WL_DISPLAY"
}

wl_display_named() {
    kill -0 "$WL_SWAY_PID" 2>/dev/null || wl_fail "sway ended at start"
    local socket
    socket=$(find "$WL_RUNTIME" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -1)
    [ -n "$socket" ] || return 1
    WL_DISPLAY=$socket
}

# OUTPUT as PNG: wl_shot FILE OUTPUT.
wl_shot() {
    wl_run timeout 30 grim -o "$2" - >"$1" 2>/dev/null
}

# How many pixels two pictures of one size differ in.
wl_differing() {
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# The test wallpaper on every output through swaybg, scaled to each: $WL_TMP/desktop.png is what
# one output shows. Waits until grim sees it on OUTPUT.
wl_wallpaper() {
    convert "$WL_ROOT/tests/data/wallpaper.png" -resize "${WL_WIDTH}x${WL_HEIGHT}!" \
        "$WL_TMP/desktop.png"
    chmod 644 "$WL_TMP/desktop.png"
    wl_start_client "$WL_TMP/swaybg.log" swaybg -o '*' -i "$WL_TMP/desktop.png" -m stretch
    poll_until 60 wl_desktop_on "$1" || wl_fail "the wallpaper did not reach $1"
}

# What OUTPUT shows with nothing over it: the wallpaper, or what wl_keep_desktop kept.
wl_desktop_of() {
    if [ -f "$WL_TMP/desktop-$1.png" ]; then
        echo "$WL_TMP/desktop-$1.png"
    else
        echo "$WL_TMP/desktop.png"
    fi
}

wl_desktop_on() {
    wl_shot "$WL_TMP/now.png" "$1" &&
        [ "$(wl_differing "$(wl_desktop_of "$1")" "$WL_TMP/now.png")" = 0 ]
}

wl_cursor_on() {
    wl_shot "$WL_TMP/now.png" "$1" &&
        [ "$(wl_differing "$WL_TMP/desktop.png" "$WL_TMP/now.png")" -gt 0 ]
}

# Keeps what OUTPUT shows as its desktop from now on: the wallpaper with the pointer's cursor,
# which sway draws into the output's picture. Waits for the cursor when WITH_CURSOR is "cursor":
# wl_keep_desktop OUTPUT [cursor].
wl_keep_desktop() {
    if [ "${2:-}" = cursor ]; then
        poll_until 60 wl_cursor_on "$1" || wl_fail "no cursor shows on $1"
    fi
    wl_shot "$WL_TMP/desktop-$1.png" "$1" || wl_fail "grim could not take $1"
}

# Succeeds when OUTPUT differs from the wallpaper in more than 0.05 % and fewer than 60 % of its
# pixels: rain over the wallpaper, not a blank or foreign picture. Leaves the screenshot in
# $WL_TMP/rain.png.
wl_rain_over_desktop() {
    local n
    wl_shot "$WL_TMP/rain.png" "$1" || return 1
    n=$(wl_differing "$(wl_desktop_of "$1")" "$WL_TMP/rain.png")
    [ "$n" -gt $((WL_WIDTH * WL_HEIGHT / 2000)) ] && [ "$n" -lt $((WL_WIDTH * WL_HEIGHT * 6 / 10)) ]
}

wl_output_changed() {
    wl_shot "$WL_TMP/later.png" "$1" || return 1
    [ "$(wl_differing "$WL_TMP/rain.png" "$WL_TMP/later.png")" -gt 0 ]
}

# Rain over the wallpaper on OUTPUT that keeps changing: twice in a row the output moves on from
# the last picture taken.
wl_expect_rain() {
    local _
    poll_until 60 wl_rain_over_desktop "$1" || wl_fail "no rain over the wallpaper on $1"
    for _ in 1 2; do
        poll_until 60 wl_output_changed "$1" || wl_fail "the rain on $1 stopped moving"
        mv "$WL_TMP/later.png" "$WL_TMP/rain.png"
    done
}

# A virtual pointer on the seat from now on (tests/wayland_pointer/virtual_pointer, the program
# POINTER), driven through wl_pointer_step.
wl_start_pointer() {
    mkfifo "$WL_TMP/pointer-steps"
    wl_command "$1"
    "${WL_COMMAND[@]}" <"$WL_TMP/pointer-steps" >"$WL_TMP/pointer.log" 2>&1 &
    WL_STARTED+=($!)
    exec {WL_POINTER_STEPS}>"$WL_TMP/pointer-steps"
    WL_POINTER_DONE=0
}

# One step of the virtual pointer (abs X Y W H, rel DX DY, click), waited for until the
# compositor has taken it: wl_pointer_step STEP...
wl_pointer_step() {
    echo "$*" >&"$WL_POINTER_STEPS"
    WL_POINTER_DONE=$((WL_POINTER_DONE + 1))
    poll_until 30 grep -qx "done $WL_POINTER_DONE" "$WL_TMP/pointer.log" ||
        wl_fail "the virtual pointer did not take \"$*\": $(cat "$WL_TMP/pointer.log")"
}
