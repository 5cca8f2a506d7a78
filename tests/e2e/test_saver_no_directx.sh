#!/usr/bin/env bash
# Without DirectDraw (Wine's ddraw.dll switched off) the full-screen saver shows one box that
# says so under the saver's caption, and ends with 0 once the box is closed.
set -u
scr=$1
. "$(dirname "$0")/../../scripts/wine-harness.sh"
caption="Misto Screen Saver 1.3"
text="Sorry, internal error: This program requires DirectX 5 or later installed!."
wh_begin
wh_write_config

: >"$WH_LOG"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ddraw=d" wh_start "$(wh_winpath "$scr")" /s
wh_close_msgbox "$caption" 60 || {
    wh_alive "$WH_LAST_PID" || {
        wh_wait "$WH_LAST_PID" 1
        wh_fail "no box; the saver ended with $WH_RC (a static import of ddraw.dll ends the" \
            "program before it starts)"
    }
    wh_fail "no box titled \"$caption\" that closes on Return"
}
wh_wait "$WH_LAST_PID" 30 || wh_fail "the saver still runs after its box was closed"
[ "$WH_RC" = 0 ] || wh_fail "exit code $WH_RC"
texts=$(wh_msgbox_texts)
[ "$texts" = "$text" ] || wh_fail "box texts were: $texts"
echo "ok"
