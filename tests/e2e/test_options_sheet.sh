#!/usr/bin/env bash
# The Options sheet in one configure-mode run: Cancel stores nothing, OK stores every byte as
# expected for the current user, refused input keeps the sheet open and stores nothing, the
# reopened sheet shows what was confirmed, the wind control follows a click, and the Display
# page takes a typed restart time. A second run on a stored record beyond the spinners and the
# dial shows and keeps it, refuses a restart after no time with the focus on the field once
# its page shows, and pairs each control with its label in the z-order.
set -u
CF_SCR=$1
CF_HOST=$3
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/configure_helpers.sh"
wh_begin
# Only the machine's configuration: the first OK must create the user's.
wh_reg_delete_key "$WH_SAVER_KEY"
wh_write_config "$WH_DEFAULT_CONFIG" "$WH_MACHINE_KEY"
# The desktop is made before the dialog, so the first input cannot race its making.
cf_hold_desktop
cf_start_settings /c

# Expects the user's configuration to be exactly the default with the given fields changed.
expect_config() {
    local want got
    want=$(wh_config_with "$@")
    got=$(cf_config) || wh_fail "$what: no configuration stored for the user"
    [ "$got" = "$want" ] || wh_fail "$what: stored $got, expected $want"
}

what="cancel"
cf_open_options
cf_focus "$CF_SHEET"
wh_key Right
wh_key Right
cf_sheet_button 2
cf_wait_sheet_closed
cf_config >/dev/null && wh_fail "$what: a user configuration appeared"

what="density by keys"
cf_open_options
cf_focus "$CF_SHEET"
for _ in 1 2 3; do wh_key Right; done
cf_sheet_button 1
cf_wait_sheet_closed
expect_config 8 28

what="maximum radius below the minimum"
cf_open_options
cf_focus "$CF_SHEET"
wh_key Tab
wh_key End
cf_sheet_button 1
cf_expect_refusal "The minimum drop radius cannot be larger than the maximum drop radius. Please, adjust the corresponding sliders." "$what"
cf_sheet_button 2
cf_wait_sheet_closed
expect_config 8 28

what="reopened sheet"
# Starts from the confirmed 28: one more step stores 29, and Page Up moves the force by 5.
cf_open_options
cf_focus "$CF_SHEET"
wh_key Right
cf_sheet_button 1
cf_wait_sheet_closed
expect_config 8 29

what="wind straight below the hub"
cf_open_options
read -r _ _ w h <<<"$(cf_where "$CF_SHEET" 'Wind Direction Control')"
cf_click "$CF_SHEET" 'Wind Direction Control' $((w / 2)) $((h - 3))
cf_sheet_button 1
cf_wait_sheet_closed
down=$(cf_float_bits 'pi / 2')
expect_config 8 29 16 "$down"

what="wind left of the hub"
cf_open_options
cf_click "$CF_SHEET" 'Wind Direction Control' 1 0
cf_sheet_button 1
cf_wait_sheet_closed
expect_config 8 29 16 "$(cf_float_bits 'pi / 36')"

what="wind by keys"
# Tab order of the Rain page: density, minimum, maximum, force, wind direction.
cf_open_options
cf_focus "$CF_SHEET"
for _ in 1 2 3 4; do wh_key Tab; done
wh_key End
wh_key Left
cf_sheet_button 1
cf_wait_sheet_closed
expect_config 8 29 16 "$(cf_float_bits 'float(35 * pi / 36) - 5 * pi / 180')"

what="display page"
cf_open_options
cf_show_display_page
cf_click "$CF_SHEET" 1019
cf_sheet_button 1
cf_expect_refusal 'Please, choose a display mode or set "Use current mode of the desktop".' "$what, no mode"
cf_click "$CF_SHEET" 1018
cf_click "$CF_SHEET" 1021
cf_click "$CF_SHEET" 1022
wh_key End
for _ in 1 2 3 4; do wh_key BackSpace; done
cf_click "$CF_SHEET" 1021
cf_sheet_button 1
cf_expect_refusal "Incorrect reset background time minutes value! Please, adjust the corresponding data." "$what, minutes emptied while unchecked"
cf_click "$CF_SHEET" 1021
cf_click "$CF_SHEET" 1022
xdotool type 4000000000
cf_sheet_button 1
cf_expect_refusal "Incorrect reset background time minutes value! Please, adjust the corresponding data." "$what, minutes too large"
cf_click "$CF_SHEET" 1022
wh_key End
for _ in $(seq 12); do wh_key BackSpace; done
xdotool type 45
cf_sheet_button 1
cf_wait_sheet_closed
expect_config 8 29 16 "$(cf_float_bits 'float(35 * pi / 36) - 5 * pi / 180')" 29:1 1 30 45

what="closing"
cf_end_settings cf_escape
[ "$WH_RC" = 0 ] || wh_fail "exit code $WH_RC"
boxes=$(wh_msgbox_texts | wc -l)
[ "$boxes" = 4 ] || wh_fail "expected the four refusals, boxes were: $(wh_msgbox_texts)"

what="stored values beyond the spinners and the dial"
# 40000 minutes do not fit the spinner's 16-bit position; a direction that is no number draws
# no needle. A plain OK writes neither back damaged.
nan=2143289344
stored=(29:1 1 30 40000 34 7)
wh_write_config "$(wh_config_with 16 $nan "${stored[@]}")"
cf_start_settings /c
cf_open_options
# A screen reader names each control after the label just before it in the z-order; each
# slider also carries its label's text as its own name.
rain_page=$(cf_sheet_look controls)
[ "$rain_page" = "$(cat <<'EOF2'
-1|Static|Density
-1|msctls_trackbar32|Density
-1|Static|Minimum drop radius
-1|msctls_trackbar32|Minimum drop radius
-1|Static|Maximum drop radius
-1|msctls_trackbar32|Maximum drop radius
-1|Static|Wind force
-1|msctls_trackbar32|Wind force
-1|Static|Wind direction
0|Wind Direction Control|Wind direction
EOF2
)" ] || wh_fail "$what: the Rain page's controls in z-order were: $rain_page"
cf_show_display_page
cf_sheet_look controls | grep -qx '1022|Edit|40000' ||
    wh_fail "$what: the minutes field shows: $(cf_sheet_look controls | grep '^1022|')"
cf_sheet_button 1
cf_wait_sheet_closed
# The direction that was no number is stored as the default; the rest as it was.
expect_config "${stored[@]}"

what="restart after no time"
cf_open_options
cf_show_display_page
for field in 1022 1024; do
    cf_click "$CF_SHEET" $field
    wh_key End
    for _ in $(seq 6); do wh_key BackSpace; done
    xdotool type 0
done
# Back to the Rain page: the refusing page must come up, then take the focus to its field.
cf_click "$CF_SHEET" SysTabControl32 12 10
cf_where "$CF_SHEET" 'Wind Direction Control' >/dev/null || wh_fail "$what: the Rain page did not show"
cf_sheet_button 1
cf_expect_refusal "Incorrect reset background time seconds value! Please, adjust the corresponding data." "$what"
cf_wait_focus '1024|Edit|0' || wh_fail "$what: the focus is on $(cf_sheet_look focus), not the seconds"
cf_sheet_button 2
cf_wait_sheet_closed
expect_config "${stored[@]}"
cf_end_settings cf_escape
[ "$WH_RC" = 0 ] || wh_fail "exit code $WH_RC"
echo "ok"
