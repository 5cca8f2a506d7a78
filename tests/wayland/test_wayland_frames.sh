#!/usr/bin/env bash
# The Wayland host's pictures, frame for frame: on a headless sway with one output over a swaybg
# wallpaper, misto --fullscreen --frames N shows exactly misto-render's frame N over the
# output's copy, upright on an output turned a quarter and on one mirrored, at scale 2, and
# without screencopy over the bundled picture; a second run leaves at once; an output added
# while it rains gets rain of its own; and without the layer shell misto says so and fails.
#   test_wayland_frames.sh MISTO MISTO_RENDER
set -u
. "$(dirname "$0")/wayland_helpers.sh"
misto=$(readlink -f "$1")
render=$(readlink -f "$2")
[ -x "$(dirname "$misto")/misto-wayland" ] || wl_fail "no misto-wayland beside $misto"
FRAMES=12
RAIN=(--seed 9 --density 50 --wind-force 20 --min-radius 3)

step "starting a headless sway"
wl_begin 1 320x240
misto=$(wl_stage "$misto")
wl_wallpaper HEADLESS-1

# misto-render's frame N (its only one written) over PICTURE at WxH, into $WL_TMP/expected.png: expect_frame PICTURE WxH.
expect_frame() {
    rm -rf "$WL_TMP/render"
    "$render" --image "$1" --size "$2" --frames $FRAMES --every $FRAMES "${RAIN[@]}" \
        --out "$WL_TMP/render" >/dev/null || wl_fail "misto-render $2 over $1"
    mv "$WL_TMP/render/frame-00001.png" "$WL_TMP/expected.png"
}

shows_expected() {
    wl_shot "$WL_TMP/now.png" HEADLESS-1 && [ "$(wl_differing "$WL_TMP/expected.png" "$WL_TMP/now.png")" = 0 ]
}

# Starts misto --fullscreen --frames N with the rain's switches, ENV before it (NAME=VALUE or
# nothing), and waits until HEADLESS-1 shows $WL_TMP/expected.png: run_frames WHAT [ENV...].
run_frames() {
    local what=$1
    shift
    wl_start_client "$WL_TMP/misto.log" env "$@" "$misto" --fullscreen --frames $FRAMES "${RAIN[@]}"
    pid=$WL_PID
    poll_until 60 shows_expected || wl_fail "$what: HEADLESS-1 does not show misto-render's frame $FRAMES ($(wl_differing "$WL_TMP/expected.png" "$WL_TMP/now.png") pixels differ): $(cat "$WL_TMP/misto.log")"
}

# misto ends on SIGTERM with exit 0 and the desktop is back on every output named.
end_run() {
    kill -TERM "$pid"
    wl_expect_exit_0 "$pid" SIGTERM
    wl_expect_desktops "$@"
}

step "frame $FRAMES over the output's copy"
wl_keep_desktop HEADLESS-1
expect_frame "$WL_TMP/desktop-HEADLESS-1.png" 320x240
run_frames "over the copy"

step "a second run while it rains"
wl_start_client "$WL_TMP/second.log" "$misto" --fullscreen
second=$WL_PID
poll_until 30 process_gone "$second" || wl_fail "a second misto --fullscreen did not leave"
wait "$second" || wl_fail "a second misto --fullscreen left with $?: $(cat "$WL_TMP/second.log")"
kill -0 "$pid" 2>/dev/null || wl_fail "the first misto ended when a second started"
shows_expected || wl_fail "the first misto's picture changed when a second started"
end_run HEADLESS-1

# sway turns an output by the transform it is given; what misto covers is what the user sees.
for transform in ${TRANSFORMS:-90 flipped-270}; do
    step "frame $FRAMES over an output turned $transform"
    wl_swaymsg output HEADLESS-1 transform "$transform" || wl_fail "sway could not turn HEADLESS-1"
    case $transform in *90 | *270) size=240x320 ;; *) size=320x240 ;; esac
    turned() {
        wl_sway_ipc "$WL_SWAY_PID" -t get_outputs |
            grep -q "\"transform\": \"$transform\"" &&
            wl_shot "$WL_TMP/now.png" HEADLESS-1 && [ "$(identify -format %wx%h "$WL_TMP/now.png")" = $size ]
    }
    poll_until 30 turned || wl_fail "HEADLESS-1 did not turn $transform"
    # swaybg draws the wallpaper again at the output's new shape.
    poll_until 30 wl_picture_settled HEADLESS-1 || wl_fail "HEADLESS-1 did not settle after turning"
    wl_keep_desktop HEADLESS-1
    expect_frame "$WL_TMP/desktop-HEADLESS-1.png" $size
    run_frames "turned $transform"
    end_run HEADLESS-1
done

# At scale 2 the output is 160x120 to its clients and misto draws its 320x240 pixels.
step "frame $FRAMES over an output at scale 2"
wl_swaymsg output HEADLESS-1 transform normal scale 2 || wl_fail "sway could not scale HEADLESS-1"
scaled() {
    wl_run wayland-info 2>/dev/null | grep -q "scale: 2," &&
        wl_shot "$WL_TMP/now.png" HEADLESS-1 && [ "$(identify -format %wx%h "$WL_TMP/now.png")" = 320x240 ]
}
poll_until 30 scaled || wl_fail "HEADLESS-1 did not come to scale 2"
poll_until 30 wl_picture_settled HEADLESS-1 || wl_fail "HEADLESS-1 did not settle at scale 2"
wl_keep_desktop HEADLESS-1
expect_frame "$WL_TMP/desktop-HEADLESS-1.png" 320x240
run_frames "at scale 2"
end_run HEADLESS-1

wl_swaymsg output HEADLESS-1 scale 1 || wl_fail "sway could not scale HEADLESS-1 back"
rm -f "$WL_TMP/desktop-HEADLESS-1.png"
poll_until 30 wl_desktop_on HEADLESS-1 || wl_fail "HEADLESS-1 did not come back to scale 1"

step "frame $FRAMES over the bundled picture, without screencopy"
expect_frame "$WL_ROOT/resources/x11/wallpaper.png" 320x240
run_frames "without screencopy" MISTO_WAYLAND_IGNORE=zwlr_screencopy_manager_v1

end_run HEADLESS-1

step "an output added while it rains"
wl_start_client "$WL_TMP/misto.log" "$misto" --fullscreen
pid=$WL_PID
wl_expect_rain HEADLESS-1
wl_swaymsg create_output || wl_fail "sway made no output"
wl_swaymsg output HEADLESS-2 resolution 320x240 position 320 0 || wl_fail "sway could not size HEADLESS-2"
sized_on_2() {
    wl_shot "$WL_TMP/rain.png" HEADLESS-2 && [ "$(identify -format %wx%h "$WL_TMP/rain.png")" = 320x240 ]
}
poll_until 60 sized_on_2 || wl_fail "sway did not size HEADLESS-2"
# Only rain keeps changing what the output shows.
for _ in 1 2; do
    poll_until 60 wl_output_changed HEADLESS-2 ||
        wl_fail "no rain came to the added output HEADLESS-2: $(cat "$WL_TMP/misto.log")"
    mv "$WL_TMP/later.png" "$WL_TMP/rain.png"
done
wl_expect_rain HEADLESS-1
end_run HEADLESS-1 HEADLESS-2

step "a compositor without the layer shell"
wl_run env MISTO_WAYLAND_IGNORE=zwlr_layer_shell_v1 "$misto" --fullscreen >"$WL_TMP/misto.log" 2>&1
status=$?
[ "$status" -eq 1 ] && grep -q "no layer shell" "$WL_TMP/misto.log" ||
    wl_fail "without the layer shell misto ended with $status: $(cat "$WL_TMP/misto.log")"
wl_desktop_on HEADLESS-1 || wl_fail "without the layer shell misto left HEADLESS-1 changed"
echo "PASS: misto-render's frames on a plain, a turned, a mirrored and a scaled output and without screencopy; a second run leaves; an added output rains; no layer shell fails clearly"
