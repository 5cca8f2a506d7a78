#!/usr/bin/env bash
# A second /s while the saver runs leaves at once, silently, and the mouse still ends the first
# one: park the pointer, start the saver, move 1 pixel twice (it stays), start a second saver
# and wait until it has left (exit 0, no box, the first still runs), then move 3 pixels more at
# once: the first saver must end. Repeated 20 times in one Wine session, since the fault this
# guards against showed in about one run of four. The second saver is started plainly, so that
# the process waited for is its own (see docs/windows-notes.md on starts through explorer).
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
wh_begin_on_wallpaper
wh_write_config
least=$(($(wh_screen_pixels) / 10000))
most=$(($(wh_screen_pixels) * 3 / 10))
runs=${SECOND_INSTANCE_RUNS:-20}

for run in $(seq "$runs"); do
    what="run $run"
    : >"$WH_LOG"
    wh_start_saver "$scr"
    first=$WH_SAVER_PID
    # Raining: the set-up is over and the move Wine sends when the window appears has been seen.
    n=$(wh_wait_screen_change "$WH_TMP/desktop.png" "$least" "$most" 120) ||
        wh_fail "$what: no rain within 120 s ($n pixels changed)"
    wh_mouse_to $((WH_PARK_X + 1)) "$WH_PARK_Y"
    wh_mouse_to $((WH_PARK_X + 2)) "$WH_PARK_Y"
    wh_start "$(wh_winpath "$scr")" /s
    wh_wait "$WH_LAST_PID" 60 || wh_fail "$what: the second saver still runs after 60 s"
    [ "$WH_RC" = 0 ] || wh_fail "$what: the second saver ended with $WH_RC"
    # The two small moves lie well before this point: a saver that they had ended would be gone.
    wh_alive "$first" || wh_fail "$what: the first saver ended without a move of 3 pixels"
    wh_mouse_to $((WH_PARK_X + 5)) "$WH_PARK_Y"
    wh_wait "$first" 20 || wh_fail "$what: the first saver still runs 20 s after a move of 3"
    [ "$WH_RC" = 0 ] || wh_fail "$what: the first saver ended with $WH_RC"
    [ -z "$(wh_msgbox_texts)" ] || wh_fail "$what: unexpected box: $(wh_msgbox_texts)"
done
echo "ok"
