#!/usr/bin/env bash
# The 32-bit saver, the one users install, under 32-bit Wine in QEMU user mode: rain appears
# over the desktop and a key ends it with exit code 0 and no box.
set -u
scr=$1
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
. "$here/../../scripts/wine-harness.sh"
file -b "$scr" | grep -q 'Intel 80386' || wh_fail "$scr is not a 32-bit program"
wh_begin_on_wallpaper
desktop=$WH_TMP/desktop.png
screen=$(wh_screen_pixels)
wh_write_config
: >"$WH_LOG"
wh_start_saver "$scr"
n=$(wh_wait_screen_change "$desktop" $((screen / 10000)) $((screen * 3 / 10)) 180) ||
    wh_fail "no rain within 180 s ($n pixels changed)"
wh_key space
wh_wait "$WH_SAVER_PID" 60 || wh_fail "the saver still runs 60 s after a key"
[ "$WH_RC" = 0 ] || wh_fail "exit code $WH_RC after a key"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "unexpected box: $(wh_msgbox_texts)"
n=$(wh_wait_screen_change "$desktop" 0 0 30) || wh_fail "$n pixels differ from the desktop at the end"
echo "ok"
