#!/usr/bin/env bash
# Without a configuration, saver, preview and configure modes each report it in one box and
# still end with 0; a machine-wide configuration alone is enough for configure mode.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
caption="Misto Screen Saver 1.3"
text="Sorry, internal error: Configuration doesn't exist!."
wh_begin
wh_reg_delete_key "$WH_SAVER_KEY"
wh_reg_delete_key "$WH_MACHINE_KEY"

# Runs the saver, expects exactly one box with the missing-configuration text, closes it.
check_reports_missing() {
    local what=$1 texts
    shift
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$scr")" "$@"
    wh_close_msgbox "$caption" 60 || wh_fail "$what: no box titled \"$caption\" that closes on Return"
    wh_wait "$WH_LAST_PID" 30 || wh_fail "$what: still running after the box was closed"
    [ "$WH_RC" = 0 ] || wh_fail "$what: exit code $WH_RC"
    texts=$(wh_msgbox_texts)
    [ "$texts" = "$text" ] || wh_fail "$what: box texts were: $texts"
}

check_reports_missing "/s" /s
# Any number will do as the parent window: the settings are loaded before it is used.
check_reports_missing "/p" /p 65538
check_reports_missing "/c" /c

# Configure mode with only the machine's configuration: the dialog opens, no box.
wh_write_config "$WH_DEFAULT_CONFIG" "$WH_MACHINE_KEY"
: >"$WH_LOG"
wh_start "$(wh_winpath "$scr")" /c
wh_wait_visible '^Settings$' 60 >/dev/null ||
    wh_fail "/c with a machine configuration: no Settings dialog; boxes: $(wh_msgbox_texts)"
texts=$(wh_msgbox_texts)
[ -z "$texts" ] || wh_fail "/c with a machine configuration: box: $texts"
echo "ok"
