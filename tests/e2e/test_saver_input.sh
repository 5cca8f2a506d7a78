#!/usr/bin/env bash
# What ends the full-screen saver: a key, a system key (Alt alone, F10), each of the three
# mouse buttons, a mouse move of 3 pixels on either axis from the first point seen; what does
# not: the move Wine sends when the window appears, moves of up to 2 pixels on both axes
# (also after wandering back and forth), the wheel. Each run ends with exit 0 and no box.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
wh_begin
wh_set_wallpaper "$WH_ROOT/tests/data/wallpaper.bmp"
wh_write_config
wh_hold_desktop
sleep 1
wh_shot "$WH_TMP/desktop.png"
least=$(($(wh_screen_pixels) / 10000))
most=$(($(wh_screen_pixels) * 3 / 10))

# Starts the saver (cursor parked at 500,400) and waits until it rains, so the set-up is over
# and the first mouse move has been seen.
start_raining_saver() {
    local what=$1 n
    : >"$WH_LOG"
    wh_start_saver "$scr"
    n=$(wh_wait_screen_change "$WH_TMP/desktop.png" "$least" "$most" 120) ||
        wh_fail "$what: no rain within 120 s ($n pixels changed)"
    sleep 0.5
    wh_alive "$WH_SAVER_PID" || wh_fail "$what: the saver ended before any input"
}

# Checks that the saver has ended by itself after the input: within 20 s, exit 0, no box.
expect_ended() {
    local what=$1
    wh_wait "$WH_SAVER_PID" 20 || wh_fail "$what: the saver still runs 20 s after the input"
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    [ -z "$(wh_msgbox_texts)" ] || wh_fail "$what: unexpected box: $(wh_msgbox_texts)"
}

# Checks that the saver is still running a while after the input.
expect_running() {
    sleep 1.5
    wh_alive "$WH_SAVER_PID" || wh_fail "$1: the saver ended, it must not"
}

# Ends the saver with a key after a check that kept it running.
finish() {
    wh_key Escape
    expect_ended "$1 (then a key)"
}

# A key press reaches the saver through its window; xdotool's status says nothing here (it
# reports BadWindow when the key closes the window it was typing into).
for key in space Escape alt F10; do
    start_raining_saver "key $key"
    wh_key "$key" 2>/dev/null
    expect_ended "key $key"
done

for button in 1 2 3; do
    start_raining_saver "button $button"
    wh_click "$button"
    expect_ended "button $button"
done

# The wheel is not a button press, and the first move (at 500,400, sent when the window
# appeared) has already been seen without ending the saver.
start_raining_saver "wheel"
wh_click 4
wh_click 5
expect_running "wheel"
finish "wheel"

# Up to 2 pixels on both axes from the first point never ends it; the reference stays put,
# so wandering to the other side by 2 does not end it either; 3 in x does.
start_raining_saver "move 3 in x"
wh_mouse_to 502 402
expect_running "move by (2, 2)"
wh_mouse_to 498 398
expect_running "move by (-2, -2)"
wh_mouse_to 503 400
expect_ended "move by (3, 0)"

start_raining_saver "move 3 in y"
wh_mouse_to 498 402
expect_running "move by (-2, 2)"
wh_mouse_to 500 397
expect_ended "move by (0, -3)"
echo "ok"
