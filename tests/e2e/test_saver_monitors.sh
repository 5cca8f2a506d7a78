#!/usr/bin/env bash
# The saver on two monitors: a 1024x768 primary and an 800x600 monitor left of it (negative
# coordinates). Rain shows on both over each one's own desktop, nothing is drawn where no
# monitor is, a move on the primary ends the saver, its process is gone within a few seconds
# of the input (a new start right after it runs), exit 0 and no box, and both monitors show
# their clean desktop afterwards.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
wh_begin_monitors 1024x768+0+0 800x600+-800+0

# Each monitor shows the wallpaper at its own size; the strip below the small monitor, where
# no monitor is, a plain grey.
convert -size "$WH_SIZE" xc:gray50 \
    \( "$WH_ROOT/tests/data/wallpaper.bmp" -resize '1024x768!' \) -geometry "+${WH_MONITORS[0]#*+}" -composite \
    \( "$WH_ROOT/tests/data/wallpaper.bmp" -resize '800x600!' -flop \) -geometry "+${WH_MONITORS[1]#*+}" -composite \
    "$WH_TMP/root.png"
wh_set_root_picture "$WH_TMP/root.png"
wh_write_config
desktop=$WH_TMP/desktop.png
wh_shot "$desktop"
for i in 0 1; do wh_crop_monitor "$i" "$desktop" "$WH_TMP/desktop$i.png"; done
# Left of the primary and below the small monitor: not on any monitor.
gap=800x168+0+600
convert "$desktop" -crop "$gap" +repage "$WH_TMP/gap.png"

# Prints how many pixels of monitor I differ from its desktop in the screenshot SHOT (with an
# optional colour tolerance in percent).
monitor_changes() {
    wh_crop_monitor "$1" "$2" "$WH_TMP/crop$1.png"
    wh_diff_pixels "$WH_TMP/desktop$1.png" "$WH_TMP/crop$1.png" "${3:-}"
}

# Waits up to 60 s until both monitors show rain over their own desktop: at least 0.01 % of
# each changed, and at most 30 % by more than 10 % in colour. The slightly darkened tracks
# build up over time and are left out of the upper bound; a picture from the wrong place, a
# black or a garbled one is not.
wait_rain_on_both() {
    local end=$(($(date +%s) + 60)) i n far ok
    while :; do
        wh_shot "$WH_TMP/rain.png"
        ok=1
        for i in 0 1; do
            n=$(monitor_changes "$i" "$WH_TMP/rain.png")
            far=$(wh_diff_pixels "$WH_TMP/desktop$i.png" "$WH_TMP/crop$i.png" 10)
            counts[i]="$n ($far by more than 10 %)"
            [ "$n" -ge $(($(wh_monitor_pixels "$i") / 10000)) ] &&
                [ "$far" -le $(($(wh_monitor_pixels "$i") * 3 / 10)) ] || ok=0
        done
        [ "$ok" = 1 ] && return 0
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.3
    done
}

: >"$WH_LOG"
wh_start_saver "$scr"
wait_rain_on_both ||
    wh_fail "no rain on both monitors within 60 s (changed: primary ${counts[0]}," \
        "other ${counts[1]}; $WH_TMP/rain.png)"
# The rain builds up on the other monitor too: a later picture differs from the first.
first=$WH_TMP/first1.png
cp "$WH_TMP/crop1.png" "$first"
sleep 1
wh_shot "$WH_TMP/later.png"
wh_crop_monitor 1 "$WH_TMP/later.png" "$WH_TMP/later1.png"
[ "$(wh_diff_pixels "$first" "$WH_TMP/later1.png")" -gt 0 ] ||
    wh_fail "the other monitor's picture stands still"
[ "$(convert "$WH_TMP/later.png" -crop "$gap" +repage png:- |
    wh_diff_pixels "$WH_TMP/gap.png" png:-)" -eq 0 ] ||
    wh_fail "the saver drew outside the monitors"
[ -n "${DOCS:-}" ] && convert "$WH_TMP/later.png" -resize 50% "$WH_ROOT/docs/saver-monitors.png"
wh_alive "$WH_SAVER_PID" || wh_fail "the saver ended before any input"

# Here no move is sent when a window appears: the first move seen is the reference. One of
# a pixel sets it and the saver runs on; one of 10 pixels from there ends it. The process
# follows promptly (the bound is generous for a loaded machine), so that a new start right
# after the input is not taken for a second instance and ended silently.
wh_mouse_to $((WH_PARK_X + 1)) "$WH_PARK_Y"
sleep 1.5
wh_alive "$WH_SAVER_PID" || wh_fail "a move of one pixel ended the saver"
wh_mouse_to $((WH_PARK_X + 11)) "$WH_PARK_Y"
wh_wait "$WH_SAVER_PID" 5 || wh_fail "the saver still runs 5 s after a move"
[ "$WH_RC" = 0 ] || wh_fail "exit code $WH_RC"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "unexpected box: $(wh_msgbox_texts)"

# Started again at once, it runs (the first one's mutex is gone), rains on both monitors
# again, and a key ends it.
wh_start_saver "$scr"
wait_rain_on_both || wh_fail "second run: no rain on both monitors within 60 s"
wh_key space
wh_wait "$WH_SAVER_PID" 5 || wh_fail "second run: the saver still runs 5 s after a key"
[ "$WH_RC" = 0 ] || wh_fail "second run: exit code $WH_RC"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "second run: unexpected box: $(wh_msgbox_texts)"

# Both monitors clean again: within 10 s the whole screen is the desktop it was.
end=$(($(date +%s) + 10))
while :; do
    wh_shot "$WH_TMP/after.png"
    n=$(wh_diff_pixels "$desktop" "$WH_TMP/after.png")
    [ "$n" -eq 0 ] && break
    [ "$(date +%s)" -ge "$end" ] && {
        cp "$WH_TMP/after.png" /tmp/e2e-monitors-after.png 2>/dev/null
        wh_fail "after the end $n pixels differ from the desktop (/tmp/e2e-monitors-after.png)"
    }
    sleep 0.3
done
echo "ok"
