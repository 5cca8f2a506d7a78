#!/usr/bin/env bash
# Errors inside a frame (which runs in the window procedure, called by the system) reach the one
# report box and end the program with 0: a thrown error and a hardware fault of our own code.
# A fault that system code raises and handles itself on every frame leaves the saver raining.
# The 32-bit build runs the same script (tests/e2e32).
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
caption="Misto Screen Saver 1.3"
wh_begin_on_wallpaper
desktop=$WH_TMP/desktop.png
wh_write_config
digits=$(file -b "$scr" | grep -q 'PE32+' && echo 16 || echo 8)

# Starts the saver with the test hook at PLACE; waits for the box, closes it, checks the exit
# code and that the box said what matches REGEX; the desktop is clean again afterwards.
expect_report() {
    local place=$1 regex=$2 texts
    : >"$WH_LOG"
    MISTO_TEST_FAULT=$place wh_start "$(wh_winpath "$scr")" /s
    wh_close_msgbox "$caption" 120 || wh_fail "$place: no box titled \"$caption\"" \
        "(alive: $(wh_alive "$WH_LAST_PID" && echo yes || echo no))"
    wh_wait "$WH_LAST_PID" 30 || wh_fail "$place: the saver still runs after its box was closed"
    [ "$WH_RC" = 0 ] || wh_fail "$place: exit code $WH_RC"
    texts=$(wh_msgbox_texts)
    [[ "$texts" =~ ^$regex$ ]] || wh_fail "$place: the box said: $texts"
    n=$(wh_wait_screen_change "$desktop" 0 0 20) ||
        wh_fail "$place: $n pixels differ from the desktop after the box"
}

expect_report frame "Sorry, internal error: test failure in frame\."
# Under QEMU user mode (the 32-bit run) hardware faults reach Wine with the wrong codes: a
# division by zero arrives as another fault, so only the form of the text is checked there.
fault="INT_DIVIDE_BY_ZERO \(0xC0000094\)"
wh_program_is_32bit && fault="[A-Z_]+ \(0x[0-9A-F]{8}\)"
expect_report frame-fault "Sorry, internal error: exception $fault at address [0-9A-F]{$digits}\."
# QEMU also breaks the system's own recovery from a probed fault (the probe ends the process
# with an illegal instruction, in any program), so that part runs in the 64-bit build only.
wh_program_is_32bit && { echo "ok"; exit 0; }

# The system's own probe faults and recovers on every frame: the rain goes on undisturbed.
: >"$WH_LOG"
screen=$(wh_screen_pixels)
MISTO_TEST_FAULT=frame-system-fault wh_start_saver "$scr"
n=$(wh_wait_screen_change "$desktop" $((screen / 10000)) $((screen * 3 / 10)) 120) ||
    wh_fail "system fault: no rain ($n pixels changed)"
wh_alive "$WH_SAVER_PID" || wh_fail "system fault: the saver ended"
wh_key space
wh_wait "$WH_SAVER_PID" 30 || wh_fail "system fault: the saver still runs 30 s after a key"
[ "$WH_RC" = 0 ] || wh_fail "system fault: exit code $WH_RC"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "system fault: unexpected box: $(wh_msgbox_texts)"
echo "ok"
