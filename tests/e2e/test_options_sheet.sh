#!/usr/bin/env bash
# The Options sheet in one configure-mode run: Cancel stores nothing, OK stores every byte as
# expected for the current user, refused input keeps the sheet open and stores nothing, the
# reopened sheet shows what was confirmed, the wind control follows a click, and the Display
# page takes a typed restart time.
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
echo "ok"
