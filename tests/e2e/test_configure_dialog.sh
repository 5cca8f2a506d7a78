#!/usr/bin/env bash
# The Settings dialog: "Close" and its close box end configure mode with 0 and no box; an error
# inside the dialog and one while the sheet saves each reach the one report box, and the
# program still ends with 0.
set -u
CF_SCR=$1
CF_HOST=$3
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/configure_helpers.sh"
caption="Misto Screen Saver 1.3"
wh_begin
wh_write_config
# The desktop stays open between the runs, so none of them races its making for the input.
cf_hold_desktop

# Waits for the running saver to end with 0; with a text, after exactly that one report box.
expect_end() {
    local what=$1 text=${2:-}
    if [ -n "$text" ]; then
        wh_close_msgbox "$caption" 120 || wh_fail "$what: no box titled \"$caption\""
    fi
    if [ -z "$CF_ENDED" ]; then
        wh_wait "$CF_PID" 120 || wh_fail "$what: still running"
    fi
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    [ "$(wh_msgbox_texts)" = "$text" ] || wh_fail "$what: boxes were: $(wh_msgbox_texts)"
}

cf_start_settings /c
cf_end_settings cf_click Settings 1
expect_end "/c, Close"

cf_start_settings /c:0
close_box() {
    cf_focus Settings
    wh_key alt+F4
}
cf_end_settings close_box
expect_end "/c:0, close box"

# A failure inside the dialog procedure ends the dialog and is reported after it.
export MISTO_TEST_FAULT=settings
cf_start_settings /c
cf_click Settings 1007
expect_end "test fault" "Sorry, internal error: test failure in settings."
unset MISTO_TEST_FAULT

# The user's key cannot be made: its parent is volatile, and no lasting key may live under a
# volatile one. The machine's configuration is read; OK in the sheet fails to save. The key is
# made while the dialog is open: a volatile key lasts only while Wine's server runs, and the
# server ends soon after its last program.
wh_reg_delete_key "$WH_SAVER_KEY"
wh_reg_delete_key 'HKCU\Software\Tarnwick Labs'
wh_write_config "$WH_DEFAULT_CONFIG" "$WH_MACHINE_KEY"
cf_start_settings /c
"$WH_WINE" "$(wh_winpath "$CF_HOST")" volatile-key 'Software\Tarnwick Labs' ||
    wh_fail "cannot make the volatile key"
cf_open_options
cf_sheet_button 1
expect_end "failed save" "Sorry, internal error: Cannot create registry key:  GetLastError() = 1021.."
echo "ok"
