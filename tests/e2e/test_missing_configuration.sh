#!/usr/bin/env bash
# Without any stored configuration (a saver installed from its file's own menu, without the
# installer) every mode runs on the defaults and shows no box: the saver rains and ends on a
# key with 0, the preview shows in its host, the Settings dialog opens, and OK in the Options
# sheet stores the default record for the user alone. A machine-wide configuration alone is
# enough for configure mode.
set -u
scr=$1
CF_SCR=$1
CF_HOST=$3
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/configure_helpers.sh"
wh_begin_on_wallpaper
wh_reg_delete_key "$WH_SAVER_KEY"
wh_reg_delete_key "$WH_MACHINE_KEY"
desktop=$WH_TMP/desktop.png
screen=$(wh_screen_pixels)

# Fails unless the program has ended with 0 and no box has shown.
expect_clean_end() {
    [ "$WH_RC" = 0 ] || wh_fail "$1: exit code $WH_RC"
    [ -z "$(wh_msgbox_texts)" ] || wh_fail "$1: box: $(wh_msgbox_texts)"
}

# The saver: rain over the desktop on a bounded share of the screen, ended by a key.
: >"$WH_LOG"
wh_start_saver "$scr"
n=$(wh_wait_screen_change "$desktop" $((screen / 10000)) $((screen * 3 / 10)) 120) ||
    wh_fail "/s: no rain within 120 s ($n pixels changed; boxes: $(wh_msgbox_texts))"
wh_key space
wh_wait "$WH_SAVER_PID" 20 || wh_fail "/s: the saver still runs 20 s after a key"
expect_clean_end "/s"

# The preview: its window fills the host, and ends with it.
: >"$WH_LOG"
wh_start "$(wh_winpath "$CF_HOST")" run "$(wh_winpath "$scr")" 100 100
host_pid=$WH_LAST_PID
place=$(cf_where 'Preview Host' MistoScreenSaverPreviewClass) ||
    wh_fail "/p: no preview window in the host; boxes: $(wh_msgbox_texts)"
[ "$place" = "100 100 152 112" ] || wh_fail "/p: the preview window is at $place"
"$WH_WINE" "$(wh_winpath "$CF_HOST")" close || wh_fail "/p: no host window to close"
wh_wait "$host_pid" 60 || wh_fail "/p: the host did not end"
expect_clean_end "/p"

# Running the saver and the preview stored nothing.
cf_config >/dev/null && wh_fail "a user configuration appeared before any OK"

# The Settings dialog, then OK in the sheet: the user's record holds the defaults; the
# machine's stays absent.
cf_start_settings /c
cf_open_options
cf_sheet_button 1
cf_wait_sheet_closed
got=$(cf_config) || wh_fail "/c: OK stored no configuration for the user"
[ "$got" = "$WH_DEFAULT_CONFIG" ] || wh_fail "/c: OK stored $got, expected $WH_DEFAULT_CONFIG"
wh_reg_query "$WH_MACHINE_KEY" Configuration >/dev/null && wh_fail "/c: a machine configuration appeared"
cf_end_settings cf_click Settings 1
expect_clean_end "/c"

# Configure mode with only the machine's configuration: the dialog opens, no box.
wh_reg_delete_key "$WH_SAVER_KEY"
wh_write_config "$WH_DEFAULT_CONFIG" "$WH_MACHINE_KEY"
cf_start_settings /c
cf_end_settings cf_click Settings 1
expect_clean_end "/c with a machine configuration"
echo "ok"
