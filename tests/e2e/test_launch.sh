#!/usr/bin/env bash
# With a configuration present, no switch at all and an unknown switch both open the Settings
# dialog (configure mode is the default), and Escape ends the program with 0 and no box.
set -u
CF_SCR=$1
CF_HOST=$3
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/configure_helpers.sh"
wh_begin
wh_write_config
# The desktop stays open between the runs, so none of them races its making for the input.
cf_hold_desktop

# Runs the saver with the given arguments and checks: the Settings dialog shows, Escape ends the
# program with 0 within the limit, no message box.
check_settings_run() {
    local what=$1
    shift
    cf_start_settings "$@"
    cf_end_settings cf_escape
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    local box
    box=$(wh_msgbox_texts)
    [ -z "$box" ] || wh_fail "$what: unexpected message box: $box"
}

check_settings_run "unknown switch" /no-tests
check_settings_run "no switch"
echo "ok"
