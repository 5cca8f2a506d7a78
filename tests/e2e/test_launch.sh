#!/usr/bin/env bash
# With a configuration present, an unknown switch and no switch at all end quietly with 0.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
wh_begin
wh_write_config

# Runs the saver with the given arguments and checks: exit 0 within the limit, no message box.
check_quiet_run() {
    local what=$1
    shift
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$scr")" "$@"
    wh_wait "$WH_LAST_PID" 60 || wh_fail "$what: still running after 60 s"
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    local box
    box=$(wh_msgbox_texts)
    [ -z "$box" ] || wh_fail "$what: unexpected message box: $box"
}

check_quiet_run "unknown switch" /no-tests
check_quiet_run "no switch"
echo "ok"
