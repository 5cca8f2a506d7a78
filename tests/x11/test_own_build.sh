#!/usr/bin/env bash
# The X11 saver builds and installs from the README's commands alone, on a machine without
# Debian's package tools and without the Wayland libraries: a copy of the source tree is built by
# `make` with a PATH that holds no dpkg, apt-get or sudo and a pkg-config that finds no
# wayland-client; the program is hardened (hardening-check) and its --help says it has no
# Wayland host; `make install` stages misto's five files under DESTDIR for PREFIX=/usr and
# `make uninstall` takes every one of them away again, leaving the staging folder empty.
#   test_own_build.sh
set -u
. "$(dirname "$0")/x11_helpers.sh"
need_programs cmake make pkg-config hardening-check

x11_begin 64x64
tree=$X11_TMP/src
mkdir -p "$tree"
"$X11_ROOT/scripts/copy-sources" "$tree"

# Every program of the usual folders except the package tools.
bin=$X11_TMP/bin
mkdir -p "$bin"
for dir in /usr/local/bin /usr/bin /bin; do
    for program in "$dir"/*; do
        name=${program##*/}
        case $name in dpkg* | apt* | sudo) continue ;; esac
        [ -e "$bin/$name" ] || ln -s "$program" "$bin/$name"
    done
done
PATH=$bin command -v dpkg apt-get sudo >/dev/null && x11_fail "the package tools are still on PATH"

# pkg-config's own folders, without the Wayland ones.
pc=$X11_TMP/pkgconfig
mkdir -p "$pc"
IFS=: read -r -a pc_folders <<<"$(pkg-config --variable pc_path pkg-config)"
for folder in "${pc_folders[@]}"; do
    for file in "$folder"/*.pc; do
        name=${file##*/}
        case $name in wayland-*) continue ;; esac
        [ -e "$file" ] && [ ! -e "$pc/$name" ] && ln -s "$file" "$pc/$name"
    done
done
export PKG_CONFIG_LIBDIR=$pc
pkg-config --exists wayland-client && x11_fail "pkg-config still finds wayland-client"

step "make, without dpkg, apt-get, sudo or the Wayland libraries"
PATH=$bin make -C "$tree" JOBS=2 >"$X11_TMP/make.log" 2>&1 ||
    x11_fail "make failed: $(tail -n 30 "$X11_TMP/make.log")"
program=$tree/build/release/misto
[ -x "$program" ] || x11_fail "make left no build/release/misto"
x11_expect_hardened "$program"
[ ! -e "$tree/build/release/misto-wayland" ] || x11_fail "misto-wayland was built without its libraries"
"$program" --help | grep -q "built without its Wayland host" ||
    x11_fail "misto's --help does not say it has no Wayland host"

step "make install and make uninstall"
stage=$X11_TMP/stage
mkdir -p "$stage"
PATH=$bin make -C "$tree" install DESTDIR="$stage" PREFIX=/usr >"$X11_TMP/install.log" 2>&1 ||
    x11_fail "make install failed: $(cat "$X11_TMP/install.log")"
installed=$(cd "$stage" && find . ! -type d | sort)
expected=$(printf '%s\n' ./usr/libexec/xscreensaver/misto \
    ./usr/share/applications/screensavers/misto.desktop ./usr/share/man/man6/misto.6 \
    ./usr/share/xscreensaver/config/misto.xml ./usr/share/misto/wallpaper.png | sort)
[ "$installed" = "$expected" ] || x11_fail "make install put
$installed
instead of
$expected"
"$stage/usr/libexec/xscreensaver/misto" --version >/dev/null || x11_fail "the installed misto fails"
grep -qx "Exec=/usr/libexec/xscreensaver/misto --root" \
    "$stage/usr/share/applications/screensavers/misto.desktop" ||
    x11_fail "misto.desktop does not start the installed program"
PATH=$bin make -C "$tree" uninstall DESTDIR="$stage" PREFIX=/usr >"$X11_TMP/uninstall.log" 2>&1 ||
    x11_fail "make uninstall failed: $(cat "$X11_TMP/uninstall.log")"
left=$(cd "$stage" && find . -mindepth 1)
[ -z "$left" ] || x11_fail "make uninstall left
$left"
echo "PASS: built without the package tools, hardened; make uninstall removed all make install put"
