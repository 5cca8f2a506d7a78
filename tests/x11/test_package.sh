#!/usr/bin/env bash
# The Debian package CPack makes of the build: its control fields, exactly the four installed
# files in the places xscreensaver, MATE and Xfce look (unpacked with dpkg -x into a temporary
# root), a .desktop file that starts the installed program, and a settings XML whose every
# argument the unpacked program accepts: each control at its low, default and high value (each
# choice, each check box, the picture) is run as xscreensaver would run it, the XML's command
# argument first, for one frame on a private Xvfb, and must exit 0.
#   test_package.sh BUILD_DIR
set -u
. "$(dirname "$0")/x11_helpers.sh"
build=$(readlink -f "$1")
x11_need cpack dpkg-deb Xvfb python3 convert
[ -f "$build/CPackConfig.cmake" ] || x11_fail "$build has no CPackConfig.cmake"

x11_step "packing"
x11_begin 320x240
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$X11_TMP/pack" >"$X11_TMP/cpack.log" 2>&1 ||
    x11_fail "cpack failed: $(cat "$X11_TMP/cpack.log")"
deb=$(ls "$X11_TMP"/pack/misto_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || x11_fail "cpack made no misto_*.deb: $(cat "$X11_TMP/cpack.log")"

[ "$(dpkg-deb -f "$deb" Package)" = misto ] || x11_fail "the package is not named misto"
dpkg-deb -f "$deb" Depends | grep -q "libx11-6" ||
    x11_fail "the package does not depend on libx11-6: $(dpkg-deb -f "$deb" Depends)"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' ./usr/libexec/xscreensaver/misto ./usr/share/applications/screensavers/misto.desktop \
    ./usr/share/man/man6/misto.6 ./usr/share/xscreensaver/config/misto.xml | sort)
[ "$files" = "$expected" ] || x11_fail "the package holds
$files
instead of
$expected"

root=$X11_TMP/root
dpkg -x "$deb" "$root" || x11_fail "dpkg -x failed"
program=$root/usr/libexec/xscreensaver/misto
[ -x "$program" ] || x11_fail "the installed program is not executable"
"$program" --version >/dev/null || x11_fail "the installed program's --version failed"
grep -qx "Exec=/usr/libexec/xscreensaver/misto --root" "$root/usr/share/applications/screensavers/misto.desktop" ||
    x11_fail "misto.desktop does not start /usr/libexec/xscreensaver/misto --root"
grep -q "^Categories=Screensaver;" "$root/usr/share/applications/screensavers/misto.desktop" ||
    x11_fail "misto.desktop is not in the Screensaver category"
grep -q '^\.TH MISTO 6' "$root/usr/share/man/man6/misto.6" || x11_fail "misto.6 is no section 6 page"

# One command line a line, as xscreensaver builds it from the XML.
python3 - "$root/usr/share/xscreensaver/config/misto.xml" "$X11_ROOT/tests/data/wallpaper.png" \
    >"$X11_TMP/commands" <<'PY' || x11_fail "misto.xml is not what the settings dialog reads"
import sys
import xml.etree.ElementTree as ET

tree = ET.parse(sys.argv[1]).getroot()
assert tree.tag == "screensaver" and tree.get("name") == "misto", "root element"
base = " ".join(c.get("arg") for c in tree.iter("command"))
lines = []
for n in tree.iter("number"):
    for value in (n.get("low"), n.get("default"), n.get("high")):
        lines.append(n.get("arg").replace("%", value))
for b in tree.iter("boolean"):
    lines += [b.get(k) for k in ("arg-set", "arg-unset") if b.get(k)]
for o in tree.iter("option"):
    if o.get("arg-set"):
        lines.append(o.get("arg-set"))
for f in tree.iter("file"):
    lines.append(f.get("arg").replace("%", sys.argv[2]))
assert lines, "no controls"
for line in lines:
    print(base + " " + line)
PY
x11_step "running every settings command line"
count=0
while read -r -a command; do
    timeout 120 "$program" "${command[@]}" --frames 1 </dev/null >"$X11_TMP/run.log" 2>&1 ||
        x11_fail "misto ${command[*]} --frames 1 failed: $(cat "$X11_TMP/run.log")"
    count=$((count + 1))
done <"$X11_TMP/commands"
echo "PASS: the package installs misto's four files; all $count settings command lines run"
