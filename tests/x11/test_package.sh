#!/usr/bin/env bash
# The Debian package as `make deb` builds it with dpkg-buildpackage: lintian --pedantic reports
# no error and no warning; the package holds exactly misto's five files in the places
# xscreensaver, MATE and Xfce look, its copyright, changelog and lintian override, and a
# -dbgsym beside it; the unpacked program (dpkg -x into a temporary root) is hardened
# (hardening-check) and answers --version; its manual page draws without a warning from man; its
# .desktop file is valid and starts the installed program; and every argument of its settings
# XML is accepted: each control at its low, default and high value (each choice, each check
# box, the picture) is run as xscreensaver would run it, the XML's command argument first, for
# one frame on a private Xvfb, and must exit 0.
#   test_package.sh
set -u
. "$(dirname "$0")/x11_helpers.sh"
need_programs dpkg-buildpackage dh lintian hardening-check desktop-file-validate man dpkg-deb Xvfb \
    python3 convert

step "packing"
x11_begin 320x240
"$X11_ROOT/scripts/make-deb" "$X11_TMP/pack" >"$X11_TMP/pack.log" 2>&1 ||
    x11_fail "make-deb failed: $(cat "$X11_TMP/pack.log")"
deb=$(ls "$X11_TMP"/pack/misto_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || x11_fail "make-deb made no misto_*.deb: $(cat "$X11_TMP/pack.log")"
ls "$X11_TMP"/pack/misto-dbgsym_*.deb >/dev/null 2>&1 || x11_fail "make-deb made no -dbgsym"

step "lintian --pedantic"
lintian --pedantic "$X11_TMP"/pack/misto_*.changes >"$X11_TMP/lintian.log" 2>&1
grep -E '^[EW]: ' "$X11_TMP/lintian.log" && x11_fail "lintian reports errors or warnings (above)"
[ "$(dpkg-deb -f "$deb" Package)" = misto ] || x11_fail "the package is not named misto"
for library in libx11-6 libwayland-client0; do
    dpkg-deb -f "$deb" Depends | grep -q "$library" ||
        x11_fail "the package does not depend on $library: $(dpkg-deb -f "$deb" Depends)"
done

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
expected=$(printf '%s\n' ./usr/libexec/xscreensaver/misto ./usr/libexec/xscreensaver/misto-wayland \
    ./usr/share/applications/screensavers/misto.desktop ./usr/share/man/man6/misto.6.gz \
    ./usr/share/xscreensaver/config/misto.xml ./usr/share/doc/misto/copyright \
    ./usr/share/doc/misto/changelog.Debian.gz ./usr/share/misto/wallpaper.png \
    ./usr/share/lintian/overrides/misto | sort)
[ "$files" = "$expected" ] || x11_fail "the package holds
$files
instead of
$expected"

root=$X11_TMP/root
dpkg -x "$deb" "$root" || x11_fail "dpkg -x failed"
program=$root/usr/libexec/xscreensaver/misto
[ -x "$program" ] || x11_fail "the installed program is not executable"
"$program" --version >"$X11_TMP/version" || x11_fail "the installed program's --version failed"
grep -qx "misto [0-9.]*" "$X11_TMP/version" && grep -q "^Copyright" "$X11_TMP/version" ||
    x11_fail "--version prints no version and copyright line: $(cat "$X11_TMP/version")"
x11_expect_hardened "$program"
x11_expect_hardened "$root/usr/libexec/xscreensaver/misto-wayland"
"$program" --help | grep -q "In a Wayland session" ||
    x11_fail "the packed misto's --help does not tell of its Wayland host"
grep -qx "Exec=/usr/libexec/xscreensaver/misto --root" "$root/usr/share/applications/screensavers/misto.desktop" ||
    x11_fail "misto.desktop does not start /usr/libexec/xscreensaver/misto --root"
grep -q "^Categories=Screensaver;" "$root/usr/share/applications/screensavers/misto.desktop" ||
    x11_fail "misto.desktop is not in the Screensaver category"
zcat "$root/usr/share/man/man6/misto.6.gz" | grep -q '^\.TH MISTO 6' || x11_fail "misto.6 is no section 6 page"
# groff's own warnings, as Debian's checks ask for them, and the .desktop file's validity.
LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$root/usr/share/man/man6/misto.6.gz" 2>"$X11_TMP/man.log" >/dev/null
[ ! -s "$X11_TMP/man.log" ] || x11_fail "man warns about misto.6: $(cat "$X11_TMP/man.log")"
desktop-file-validate "$root/usr/share/applications/screensavers/misto.desktop" \
    >"$X11_TMP/desktop.log" 2>&1 || x11_fail "desktop-file-validate: $(cat "$X11_TMP/desktop.log")"

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
step "running every settings command line"
count=0
while read -r -a command; do
    timeout 120 "$program" "${command[@]}" --frames 1 </dev/null >"$X11_TMP/run.log" 2>&1 ||
        x11_fail "misto ${command[*]} --frames 1 failed: $(cat "$X11_TMP/run.log")"
    count=$((count + 1))
done <"$X11_TMP/commands"
echo "PASS: lintian-clean package with its -dbgsym; misto's five files hardened; all $count settings command lines run"
