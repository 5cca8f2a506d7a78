#!/usr/bin/env bash
# misto on a window a host hands over, on private Xvfb servers at depth 24, 16 and 30: after N
# frames the window holds exactly misto-render's frame N (with wind and a restart), with shared
# memory and without, the id given in hex and in decimal; at depth 30 each channel widened to 10
# bits as v10 = (v8 << 2) | (v8 >> 6). --root at depths 24 and 30: frame N left on the root
# after --frames N, the desktop back pixel for pixel after SIGTERM. Then what a host or a user
# may do wrong: ids naming nothing, text, malformed switches, SIGTERM during start-up, SIGUSR1, a
# resize, the window destroyed under it, the display gone, a depth or a DirectColor visual it
# cannot draw in (its own window then takes a TrueColor one). No shared memory may be left
# behind.
# Usage: test_misto_window.sh MISTO MISTO_RENDER X11_HOST
set -uo pipefail

MISTO=$1
RENDER=$2
HOST=$3
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/private-xvfb.sh
source "$ROOT/scripts/private-xvfb.sh"

TMP=$(mktemp -d)
MISTO_PID=""
cleanup() {
    [ -n "$MISTO_PID" ] && kill "$MISTO_PID" 2>/dev/null
    [ -n "${PRIVATE_XVFB_PID:-}" ] && kill "$PRIVATE_XVFB_PID" 2>/dev/null
    rm -rf "$TMP"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "ok: $*"; }

# Runs "$@" until it succeeds, for up to 60 s (a loaded machine under the sanitizers is slow).
wait_for() {
    local end=$(($(date +%s) + 60))
    until "$@" >/dev/null 2>&1; do
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.1
    done
}
# Whether the process has SIGTERM (or SIGUSR1) blocked, to be read from its signal descriptor:
# before that, the signal's default action would end it.
signal_held() {
    local mask
    mask=$(awk '/^SigBlk/ { print $2 }' "/proc/$1/status") && (((0x$mask & $2) != 0))
}
sigterm_held() { signal_held "$1" 0x4000; }
sigusr1_held() { signal_held "$1" 0x200; }
gone() { ! kill -0 "$1" 2>/dev/null; }
# How many of the window's pixels differ from its screenshot, into WET; then whether that is at
# least or below the given count.
# (compare's own status says only whether any pixel differs.)
count_wet() { WET=$("$HOST" compare "$id" "$TMP/shot.png" | awk '{ print $1 }') || true; }
wet_at_least() { count_wet && [ "${WET:-0}" -ge "$1" ]; }
wet_below() { count_wet && [ -n "$WET" ] && [ "$WET" -lt "$1" ]; }

# The shared memory segments a process made that are still there.
segments_of() { ipcs -m -p | awk -v pid="$1" '$3 == pid { print $1 }'; }

RAIN=(--seed 7 --density 50 --wind-force 20 --wind-direction 60 --min-radius 3 --restart 1)
FRAMES=60  # one restart at frame 51

# --root over a desktop drawn on the root itself (the server runs with -background none, so
# nothing but misto can put it back), then over a background pixmap with --image: after
# --frames N the root keeps misto-render's frame N; after SIGTERM it holds the desktop again.
root_case() {
    local depth=$1 bpp=$2 how rootid rc
    rootid=$("$HOST" root "$ROOT/tests/data/wallpaper.png" "$TMP/desk.png" drawn) || {
        fail "depth $depth: the test host could not draw the desktop on the root"
        return
    }
    "$RENDER" --image "$TMP/desk.png" --size 320x240 --bpp "$bpp" --frames $FRAMES \
        --every $FRAMES "${RAIN[@]}" --out "$TMP/root$depth" >/dev/null || fail "misto-render 320x240"
    "$MISTO" --root --frames $FRAMES "${RAIN[@]}" 2>"$TMP/err"
    rc=$?
    if [ $rc -eq 0 ] && "$HOST" compare "$rootid" "$TMP/root$depth/frame-00001.png"; then
        pass "depth $depth, --root --frames $FRAMES: misto-render's frame left on the root"
    else
        fail "depth $depth, --root --frames $FRAMES: exit $rc, $(cat "$TMP/err")"
    fi
    for how in drawn background; do
        # The frames run left its rain: the desktop is laid again.
        "$HOST" root "$ROOT/tests/data/wallpaper.png" "$TMP/desk.png" $how >/dev/null
        local image=()
        [ $how = background ] && image=(--image "$ROOT/tests/data/wallpaper.bmp")
        "$MISTO" --root "${image[@]}" "${RAIN[@]}" 2>"$TMP/err" &
        MISTO_PID=$!
        wait_for bash -c "! '$HOST' compare '$rootid' '$TMP/desk.png'" ||
            fail "depth $depth, --root ($how): no rain on the root"
        kill -TERM $MISTO_PID
        wait $MISTO_PID
        rc=$?
        MISTO_PID=""
        # misto syncs with the server before it exits: the root is final now.
        if [ $rc -eq 0 ] && "$HOST" compare "$rootid" "$TMP/desk.png"; then
            pass "depth $depth, --root ${image[*]} (desktop $how): SIGTERM puts the desktop back"
        else
            fail "depth $depth, --root ($how) after SIGTERM: exit $rc," \
                "$("$HOST" compare "$rootid" "$TMP/desk.png") $(cat "$TMP/err")"
        fi
    done
}

for depth in 24 16 30; do
    bpp=$((depth == 16 ? 16 : 32))
    private_xvfb "320x240x$depth" -noreset -background none || {
        fail "no Xvfb at depth $depth"
        continue
    }
    [ "$depth" = 16 ] || root_case "$depth" "$bpp"
    id=$("$HOST" make 160x120 "$ROOT/tests/data/wallpaper.png" "$TMP/shot.png") || {
        fail "the test host made no window at depth $depth"
        kill "$PRIVATE_XVFB_PID"
        continue
    }
    hexid=$(printf '0x%X' "$id")
    "$RENDER" --image "$TMP/shot.png" --size 160x120 --bpp "$bpp" --frames $FRAMES \
        --every $FRAMES "${RAIN[@]}" --out "$TMP/render$depth" >/dev/null ||
        fail "misto-render at $bpp bpp"
    frame="$TMP/render$depth/frame-00001.png"

    # Hex on the command line with shared memory; decimal from the environment without.
    "$MISTO" --window-id "$hexid" --frames $FRAMES "${RAIN[@]}" 2>"$TMP/err"
    rc=$?
    if [ $rc -eq 0 ] && "$HOST" compare "$id" "$frame"; then
        pass "depth $depth, id $hexid, shared memory: frame $FRAMES as misto-render's"
    else
        fail "depth $depth, shared memory: exit $rc, $(cat "$TMP/err")"
    fi
    "$HOST" compare "$id" "$TMP/shot.png" >/dev/null && fail "depth $depth: no rain drawn"
    XSCREENSAVER_WINDOW=$id "$MISTO" -no-shm -frames $FRAMES "${RAIN[@]}" 2>"$TMP/err"
    rc=$?
    if [ $rc -eq 0 ] && "$HOST" compare "$id" "$frame"; then
        pass "depth $depth, id $id, no shared memory: the same pixels"
    else
        fail "depth $depth, no shared memory: exit $rc, $(cat "$TMP/err")"
    fi

    if [ "$depth" = 24 ]; then
        # Ids that name nothing, and text where an id belongs: a message, exit 1.
        for bad in "--window-id 0x1fffff0" "--window-id 12abc" "--window-id 0x" "--window-id 0"; do
            # shellcheck disable=SC2086
            "$MISTO" $bad --frames 1 2>"$TMP/err"
            rc=$?
            if [ $rc -eq 1 ] && grep -q "window" "$TMP/err"; then
                pass "$bad: $(cat "$TMP/err")"
            else
                fail "$bad: exit $rc, $(cat "$TMP/err")"
            fi
        done
        XSCREENSAVER_WINDOW=screen "$MISTO" --frames 1 2>"$TMP/err"
        rc=$?
        [ $rc -eq 1 ] && grep -q XSCREENSAVER_WINDOW "$TMP/err" ||
            fail "XSCREENSAVER_WINDOW=screen: exit $rc, $(cat "$TMP/err")"
        # Malformed switches name themselves; a value out of range is bounded, as a stored one.
        for bad in "--density 2x" "--delay -5" "--frames" "--wind-direction east" "--bogus" \
            "--root=1" "--seed 1e3"; do
            # shellcheck disable=SC2086
            "$MISTO" --window-id "$id" $bad 2>"$TMP/err"
            rc=$?
            name=${bad%% *}
            name=${name%%=*}
            if [ $rc -eq 1 ] && grep -q -- "$name" "$TMP/err"; then
                pass "$bad: $(cat "$TMP/err")"
            else
                fail "$bad: exit $rc, $(cat "$TMP/err")"
            fi
        done
        "$MISTO" --window-id "$id" --frames 2 --density 99 --max-radius 40 --wind-force -3 \
            2>"$TMP/err" || fail "values out of range were not bounded: $(cat "$TMP/err")"
        "$MISTO" --help | grep -q -- "--window-id" || fail "--help"
        "$MISTO" --version | grep -q "^misto [0-9]" || fail "--version"

        # SIGTERM during start-up ends it cleanly, before or after its first frame: exit 0 once
        # it has its signals in hand, killed by the signal (143) before that; never a crash.
        for _ in 1 2 3; do
            # Started without the exit trap, which its fork would run when the signal comes
            # before its exec.
            trap - EXIT
            "$MISTO" --window-id "$id" "${RAIN[@]}" &
            pid=$!
            trap cleanup EXIT
            kill -TERM $pid
            wait $pid
            rc=$?
            [ $rc -eq 0 ] || [ $rc -eq 143 ] || fail "SIGTERM during start-up: exit $rc"
            [ -z "$(segments_of $pid)" ] || fail "shared memory left after SIGTERM at start-up"
        done
        # Once it holds SIGTERM (blocked, read by its loop), the signal may come at any point of
        # its start: it ends with exit 0.
        "$MISTO" --window-id "$id" "${RAIN[@]}" &
        pid=$!
        wait_for sigterm_held $pid || fail "misto never took SIGTERM in hand"
        kill -TERM $pid
        wait $pid
        rc=$?
        [ $rc -eq 0 ] || fail "SIGTERM early in start-up: exit $rc"
        [ -z "$(segments_of $pid)" ] || fail "shared memory left after SIGTERM early in start-up"
        pass "SIGTERM during start-up"

        # Running: SIGUSR1 wipes the glass and the rain goes on; a resize prepares the loop at
        # the new size (no drops: the window shows the screenshot scaled); SIGTERM ends it.
        "$MISTO" --window-id "$id" --density 0 --seed 3 &
        MISTO_PID=$!
        wait_for "$HOST" compare "$id" "$TMP/shot.png" || fail "no picture before the resize"
        kill -USR1 $MISTO_PID
        "$HOST" resize "$id" 200x150 || fail "the test host could not resize"
        if wait_for "$HOST" compare "$id" "$TMP/shot.png"; then
            pass "resized: the picture at the new size"
        else
            fail "after a resize: $("$HOST" compare "$id" "$TMP/shot.png")"
        fi
        [ -n "$(segments_of $MISTO_PID)" ] || fail "no shared memory in use while running"
        kill -TERM $MISTO_PID
        wait $MISTO_PID
        rc=$?
        [ $rc -eq 0 ] || fail "SIGTERM while running: exit $rc"
        [ -z "$(segments_of $MISTO_PID)" ] && pass "SIGTERM: exit 0, no shared memory left" ||
            fail "shared memory left after SIGTERM: $(segments_of $MISTO_PID)"
        MISTO_PID=""

        # SIGUSR1 wipes the glass: the tracks a heavy rain has left go at once, and it rains on.
        # The window still holds what the last run left (its background, all "wet"): first
        # misto must hold SIGUSR1 and have drawn the desktop with its first few drops. Five
        # frames a second: a fifth of the window is wet after about 30 frames and half of it
        # after about 75, so each state lasts seconds for the polls to see, however loaded.
        "$MISTO" --window-id "$id" --density 50 --seed 5 --delay 200000 &
        MISTO_PID=$!
        if ! wait_for sigusr1_held $MISTO_PID || ! wait_for wet_below 15000; then
            fail "misto never drew the 200x150 window: $WET pixels differ from the desktop"
        elif ! wait_for wet_at_least 6000; then
            fail "the rain never wetted a fifth of the window"
        else
            kill -USR1 $MISTO_PID
            if ! wait_for wet_below $((WET / 3)); then
                fail "SIGUSR1: $WET pixels were wet, and the glass was never wiped" \
                    "(misto $(gone $MISTO_PID && echo "had ended" || echo "still ran"))"
            elif ! wait_for wet_at_least 6000; then
                fail "no rain after SIGUSR1"
            else
                pass "SIGUSR1 wiped the glass and the rain went on"
            fi
        fi
        kill -TERM $MISTO_PID
        wait $MISTO_PID
        MISTO_PID=""

        # The window destroyed under the rain: it ends, no crash.
        "$MISTO" --window-id "$id" "${RAIN[@]}" 2>"$TMP/err" &
        MISTO_PID=$!
        wait_for bash -c "! '$HOST' compare '$id' '$TMP/shot.png'" || fail "no rain before destroy"
        "$HOST" destroy "$id"
        if wait_for gone $MISTO_PID; then
            wait $MISTO_PID
            rc=$?
            [ $rc -eq 0 ] && pass "window destroyed: exit 0" ||
                fail "window destroyed: exit $rc, $(cat "$TMP/err")"
        else
            fail "still running after its window was destroyed"
        fi
        [ -z "$(segments_of $MISTO_PID)" ] || fail "shared memory left after the window went"
        MISTO_PID=""

        # Behind the rain when the screenshot may not or cannot be used: --image when the user's
        # preferences keep the desktop hidden; the bundled scene when the screenshot's pixmap
        # is gone. Each at the window's size, as misto-render scales it.
        id=$("$HOST" make 160x120 "$ROOT/tests/data/wallpaper.png" "$TMP/shot.png")
        "$RENDER" --image "$ROOT/tests/data/wallpaper.png" --size 160x120 --frames 20 --every 10 \
            "${RAIN[@]}" --out "$TMP/picture" >/dev/null || fail "misto-render over the picture"
        "$RENDER" --image "$ROOT/resources/x11/wallpaper.png" --size 160x120 --frames 20 \
            --every 10 "${RAIN[@]}" --out "$TMP/scene" >/dev/null || fail "misto-render over the scene"
        mkdir -p "$TMP/home"
        printf 'lock:\tFalse\ngrabDesktopImages:\tFalse\n' >"$TMP/home/.xscreensaver"
        HOME="$TMP/home" "$MISTO" --window-id "$id" --frames 10 "${RAIN[@]}" \
            --image "$ROOT/tests/data/wallpaper.png" 2>"$TMP/err" &&
            "$HOST" compare "$id" "$TMP/picture/frame-00001.png" &&
            pass "grabDesktopImages: False: the rain over --image" ||
            fail "grabDesktopImages: False: $(cat "$TMP/err")"
        "$HOST" free-screenshot "$id" || fail "the test host could not free the screenshot"
        HOME="$TMP/home" "$MISTO" --window-id "$id" --no-shm --frames 20 "${RAIN[@]}" 2>"$TMP/err" &&
            "$HOST" compare "$id" "$TMP/scene/frame-00002.png" &&
            pass "a screenshot freed by its host: the rain over the bundled scene" ||
            fail "a freed screenshot: $(cat "$TMP/err")"

        # The display gone: a message and exit 1, no crash.
        id=$("$HOST" make 160x120 "$ROOT/tests/data/wallpaper.png" "$TMP/shot.png")
        "$MISTO" --window-id "$id" "${RAIN[@]}" 2>"$TMP/err" &
        MISTO_PID=$!
        wait_for bash -c "! '$HOST' compare '$id' '$TMP/shot.png'" || fail "no rain before the end"
        kill "$PRIVATE_XVFB_PID"
        wait "$PRIVATE_XVFB_PID" 2>/dev/null
        PRIVATE_XVFB_PID=""
        if wait_for gone $MISTO_PID; then
            wait $MISTO_PID
            rc=$?
            [ $rc -eq 1 ] && grep -q "display" "$TMP/err" && pass "display gone: $(cat "$TMP/err")" ||
                fail "display gone: exit $rc, $(cat "$TMP/err")"
        else
            fail "still running after the display went"
        fi
        [ -z "$(segments_of $MISTO_PID)" ] || fail "shared memory left after the display went"
        MISTO_PID=""
        continue
    fi
    kill "$PRIVATE_XVFB_PID"
    wait "$PRIVATE_XVFB_PID" 2>/dev/null
    PRIVATE_XVFB_PID=""
done

# A server without MIT-SHM: the same pixels through XPutImage, and not a word about it.
if private_xvfb 320x240 -noreset -extension MIT-SHM; then
    id=$("$HOST" make 160x120 "$ROOT/tests/data/wallpaper.png" "$TMP/shot.png")
    "$MISTO" --window-id "$id" --frames $FRAMES "${RAIN[@]}" 2>"$TMP/err" &&
        [ ! -s "$TMP/err" ] && "$HOST" compare "$id" "$TMP/render24/frame-00001.png" &&
        pass "no MIT-SHM on the server: the same pixels" ||
        fail "no MIT-SHM on the server: $(cat "$TMP/err")"
    kill "$PRIVATE_XVFB_PID"
    wait "$PRIVATE_XVFB_PID" 2>/dev/null
    PRIVATE_XVFB_PID=""
else
    fail "no Xvfb without MIT-SHM"
fi

# A colour-mapped 8-bit window: a message that says so, exit 1, no crash.
if private_xvfb 320x240x8 -noreset; then
    id=$("$HOST" make 100x80 "$ROOT/tests/data/wallpaper.png" "$TMP/shot8.png")
    for where in "--root" "--window-id $id"; do
        # shellcheck disable=SC2086
        "$MISTO" $where --frames 3 2>"$TMP/err"
        rc=$?
        [ $rc -eq 1 ] && grep -q "depth 8.*not supported" "$TMP/err" && pass "depth 8, $where: $(cat "$TMP/err")" ||
            fail "depth 8, $where: exit $rc, $(cat "$TMP/err")"
    done
    kill "$PRIVATE_XVFB_PID"
    wait "$PRIVATE_XVFB_PID" 2>/dev/null
    PRIVATE_XVFB_PID=""
else
    fail "no Xvfb at depth 8"
fi

# A DirectColor screen (-cc 5: the default visual DirectColor, TrueColor ones beside it): a
# DirectColor window handed over and the root are refused with the message a colour-mapped
# depth gets; misto's own window takes a TrueColor visual and shows misto-render's frame 1
# (held for the longest --delay, 10 s, while it is compared).
if private_xvfb 320x240x24 -noreset -cc 5; then
    id=$("$HOST" make 160x120 "$ROOT/tests/data/wallpaper.png" "$TMP/shotdc.png")
    xwininfo -id "$id" | grep -q "Visual Class: DirectColor" ||
        fail "the test host's window is not DirectColor: $(xwininfo -id "$id" | grep Visual)"
    for where in "--root" "--window-id $id"; do
        # shellcheck disable=SC2086
        "$MISTO" $where --frames 3 2>"$TMP/err"
        rc=$?
        [ $rc -eq 1 ] && grep -q "depth 24, direct colour.*not supported" "$TMP/err" &&
            pass "DirectColor, $where: $(cat "$TMP/err")" ||
            fail "DirectColor, $where: exit $rc, $(cat "$TMP/err")"
    done
    OWN_RAIN=(--seed 7 --density 50 --min-radius 3)
    "$RENDER" --image "$ROOT/tests/data/wallpaper.png" --size 160x120 --frames 1 --every 1 \
        "${OWN_RAIN[@]}" --out "$TMP/own" >/dev/null || fail "misto-render 160x120"
    "$MISTO" --window --image "$ROOT/tests/data/wallpaper.png" --delay 10000000 "${OWN_RAIN[@]}" \
        2>"$TMP/err" &
    MISTO_PID=$!
    own_id() { xwininfo -name Misto 2>/dev/null | awk '/Window id/ { print $4 }'; }
    own_made() { [ -n "$(own_id)" ]; }
    wait_for own_made
    own=$(own_id)
    if [ -z "$own" ]; then
        fail "DirectColor screen: misto made no window of its own: $(cat "$TMP/err")"
    elif ! xwininfo -id "$own" | grep -q "Visual Class: TrueColor"; then
        fail "DirectColor screen: misto's own window is $(xwininfo -id "$own" | grep Class)"
    elif wait_for "$HOST" compare "$own" "$TMP/own/frame-00001.png" &&
        ! "$HOST" compare "$own" "$ROOT/tests/data/wallpaper.png" >/dev/null; then
        pass "DirectColor screen: misto's own window is TrueColor and shows misto-render's frame"
    else
        fail "DirectColor screen, own window: $("$HOST" compare "$own" "$TMP/own/frame-00001.png")"
    fi
    kill -TERM $MISTO_PID
    wait $MISTO_PID
    rc=$?
    MISTO_PID=""
    [ $rc -eq 0 ] || fail "DirectColor screen, own window: SIGTERM gave exit $rc, $(cat "$TMP/err")"
    kill "$PRIVATE_XVFB_PID"
    wait "$PRIVATE_XVFB_PID" 2>/dev/null
    PRIVATE_XVFB_PID=""
else
    fail "no Xvfb with a DirectColor default visual"
fi

if [ $failures -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all passed"
