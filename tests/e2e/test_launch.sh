#!/usr/bin/env bash
# With a configuration present, no switch at all and an unknown switch both open the Settings
# dialog (configure mode is the default), and Escape ends the program with 0 and no box.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
wh_begin
wh_write_config

# Runs the saver with the given arguments and checks: the Settings dialog shows, Escape ends the
# program with 0 within the limit, no message box.
check_settings_run() {
    local what=$1
    shift
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$scr")" "$@"
    wh_wait_visible '^Settings$' 60 >/dev/null || wh_fail "$what: no Settings dialog"
    sleep 0.3
    wh_key Escape
    wh_wait "$WH_LAST_PID" 60 || wh_fail "$what: still running 60 s after Escape"
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    local box
    box=$(wh_msgbox_texts)
    [ -z "$box" ] || wh_fail "$what: unexpected message box: $box"
}

check_settings_run "unknown switch" /no-tests
check_settings_run "no switch"
echo "ok"
