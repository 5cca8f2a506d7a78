#!/usr/bin/env bash
# Preview mode: in a 152 x 112 host window the banner shows stretched to the whole window;
# destroying the host ends the saver with 0, and so does a host killed without destroying
# anything; a host number that names no window, or the desktop's under any of its numbers,
# ends it at once.
set -u
scr=$1
host=$3
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/configure_helpers.sh"
banner="$(dirname "$0")/../../resources/settings_banner.bmp"
wh_begin
wh_write_config

# The desktop as host would take the whole screen and never end: refused at once. The desktop
# is held open first, so that its window keeps the number read here.
cf_hold_desktop
desktop=$("$WH_WINE" "$(wh_winpath "$host")" desktop | tr -d '\r')
[ -n "$desktop" ] && [ "$desktop" != 0 ] || wh_fail "no desktop window number ($desktop)"
# A handle also matches with its high word 0 or 0xFFFF: the desktop under its other two numbers.
desktop_low=$((desktop & 0xFFFF))
desktop_ffff=$((desktop_low - 0x10000))
for number in 0 12345 "$desktop" "$desktop_low" "$desktop_ffff"; do
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$scr")" /p "$number"
    wh_wait "$WH_LAST_PID" 30 || wh_fail "/p $number: still running after 30 s"
    [ "$WH_RC" = 0 ] || wh_fail "/p $number: exit code $WH_RC"
    [ -z "$(wh_msgbox_texts)" ] || wh_fail "/p $number: box: $(wh_msgbox_texts)"
done

# The saver in a host window at (100, 100): its preview window fills the host, and destroying
# the host ends the saver with 0.
: >"$WH_LOG"
wh_start "$(wh_winpath "$host")" run "$(wh_winpath "$scr")" 100 100
host_pid=$WH_LAST_PID
end=$(($(date +%s) + 60))
until place=$("$WH_WINE" "$(wh_winpath "$host")" where 'Preview Host' MistoScreenSaverPreviewClass |
    tr -d '\r') && [ -n "$place" ]; do
    wh_alive "$host_pid" || wh_fail "the host ended before the preview showed"
    [ "$(date +%s)" -ge "$end" ] && wh_fail "no preview window in the host within 60 s"
    sleep 0.3
done
[ "$place" = "100 100 152 112" ] || wh_fail "the preview window is at $place, not over the host"
"$WH_WINE" "$(wh_winpath "$host")" close || wh_fail "no host window to close"
# The host waits up to 20 s for the saver and exits with its code, 99 if it still runs.
wh_wait "$host_pid" 60 || wh_fail "the host did not end"
[ "$WH_RC" = 0 ] || wh_fail "the saver did not end with 0 after the host went (host: $WH_RC)"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "box: $(wh_msgbox_texts)"

# A host that is killed destroys nothing; the saver still notices its host is gone and ends.
# Both are found by command line among this session's own processes (same WINEPREFIX).
session_pid() {
    local p
    for p in $(pgrep -f "$1"); do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$p/environ" 2>/dev/null && echo "$p"
    done | head -n 1
}
wh_start "$(wh_winpath "$host")" run "$(wh_winpath "$scr")" 100 100
end=$(($(date +%s) + 60))
until [ -n "$(session_pid 'misto.scr /p')" ] &&
    "$WH_WINE" "$(wh_winpath "$host")" where 'Preview Host' MistoScreenSaverPreviewClass >/dev/null; do
    [ "$(date +%s)" -ge "$end" ] && wh_fail "no preview in the second host within 60 s"
    sleep 0.3
done
saver_pid=$(session_pid 'misto.scr /p')
kill -9 "$(session_pid 'preview_host.exe run')"
end=$(($(date +%s) + 30))
while kill -0 "$saver_pid" 2>/dev/null; do
    [ "$(date +%s)" -ge "$end" ] && wh_fail "the saver still runs 30 s after its host was killed"
    sleep 0.3
done

# The picture: Wine shows nothing another process paints into a child window, so the host makes
# the same preview window in its own process. Halftone and ImageMagick's filter differ in detail:
# the mean error stays small, while the host's black or the preview's white would be far off.
convert "$banner" -resize '152x112!' "$WH_TMP/expected.png"
convert -size 152x112 xc:white "$WH_TMP/white.png"
wh_start "$(wh_winpath "$host")" show 100 100
host_pid=$WH_LAST_PID
end=$(($(date +%s) + 60))
while :; do
    wh_shot "$WH_TMP/screen.png"
    convert "$WH_TMP/screen.png" -crop 152x112+100+100 +repage "$WH_TMP/shown.png"
    error=$(compare -metric MAE "$WH_TMP/expected.png" "$WH_TMP/shown.png" null: 2>&1 |
        sed 's/.*(\(.*\)).*/\1/')
    awk -v e="$error" 'BEGIN { exit !(e < 0.06) }' && break
    wh_alive "$host_pid" || wh_fail "the host ended early"
    [ "$(date +%s)" -ge "$end" ] && wh_fail "the preview did not show the banner (mean error $error)"
    sleep 0.3
done
white=$(compare -metric MAE "$WH_TMP/white.png" "$WH_TMP/shown.png" null: 2>&1 |
    sed 's/.*(\(.*\)).*/\1/')
awk -v e="$white" 'BEGIN { exit !(e > 0.2) }' || wh_fail "the preview looks blank ($white)"
[ -n "${WH_SHOTS:-}" ] && cp "$WH_TMP/shown.png" "$WH_SHOTS/preview.png"
"$WH_WINE" "$(wh_winpath "$host")" close || wh_fail "no host window to close"
wh_wait "$host_pid" 30 || wh_fail "the in-process preview did not end with its host"
echo "ok (mean error $error against the scaled banner, $white against white)"
