#!/usr/bin/env bash
# misto-render.exe under Wine and the native misto-render make the same frames, byte for byte,
# from the same seed and settings; bad input ends the Windows build with exit code 2 as well.
# The native program is taken from build/native (MISTO_RENDER_NATIVE overrides it).
set -u
scr=$1
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
exe="$(dirname "$scr")/misto-render.exe"
native=${MISTO_RENDER_NATIVE:-$repo/build/native/misto-render}
. "$repo/scripts/wine-harness.sh"

[ -x "$native" ] || wh_fail "no native misto-render at $native: build the native preset first"
[ -f "$exe" ] || wh_fail "no misto-render.exe next to $scr"
wh_begin

picture="$repo/tests/data/wallpaper.png"
out="$WH_TMP/out"
mkdir -p "$out"

# Renders one case with both programs and compares every frame.
compare() {
    local name=$1
    shift
    local args=(--size 320x200 --frames 60 --every 30 "$@")
    "$native" --image "$picture" --out "$out/$name-native" "${args[@]}" >/dev/null ||
        wh_fail "$name: native misto-render failed"
    "$WH_WINE" "$exe" --image "$(wh_winpath "$picture")" --out "$(wh_winpath "$out")\\$name-win" \
        "${args[@]}" >/dev/null 2>"$out/$name.err" ||
        wh_fail "$name: misto-render.exe failed: $(cat "$out/$name.err")"
    local f count=0
    for f in "$out/$name-native"/frame-*.png; do
        [ -f "$out/$name-win/$(basename "$f")" ] || wh_fail "$name: Windows build wrote no $(basename "$f")"
        cmp -s "$f" "$out/$name-win/$(basename "$f")" || wh_fail "$name: $(basename "$f") differs"
        count=$((count + 1))
    done
    [ "$count" = 2 ] || wh_fail "$name: $count frames instead of 2"
    [ "$(ls "$out/$name-win" | wc -l)" = 2 ] || wh_fail "$name: the Windows build wrote other files"
}

compare plain32
compare heavy16 --bpp 16 --seed 7 --density 50 --wind-force 25 --wind-direction 100.5
compare restart24 --bpp 24 --seed 99 --min-radius 2 --max-radius 10 --restart 1

# A stored configuration, overridden by a later flag.
config="$WH_TMP/misto.cfg"
echo "$WH_DEFAULT_CONFIG" | xxd -r -p >"$config"
# Wine resolves the Unix path through drive Z:, the current drive of every run here.
compare config32 --config "$config" --density 45

# Bad input: exit code 2 with a message, from the Windows build too.
expect_2() {
    local what=$1 rc
    shift
    "$WH_WINE" "$exe" --out "$(wh_winpath "$out")\\bad" "$@" >/dev/null 2>"$out/bad.err"
    rc=$?
    [ "$rc" = 2 ] || wh_fail "$what: exit code $rc instead of 2"
    [ -s "$out/bad.err" ] || wh_fail "$what: no message"
}
printf '\0\2' >"$WH_TMP/short.cfg"
expect_2 "short configuration" --config "$(wh_winpath "$WH_TMP/short.cfg")"
expect_2 "missing picture" --image "$(wh_winpath "$WH_TMP")\\none.png"
expect_2 "bad flag" --bpp 12
echo "ok"
