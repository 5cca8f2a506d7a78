#!/usr/bin/env bash
# The installer under Wine: pages ended with Cancel, No or Exit, and a missing saver file,
# change nothing; a full run copies the saver byte for byte, registers the uninstall entry and
# writes the default configuration to both roots; a second run leaves an edited configuration
# alone; a per-user configuration keeps the machine root empty; a cleared copy box copies
# nothing but registers the entry; the licence page shows the licence; an empty saver file is
# refused; an installer in a folder named in other scripts installs; each program's manifest
# asks for its own execution level.
set -u
scr=$1
inst=$2
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/install_helpers.sh"
wh_begin
sysdir=$(ih_system_dir)
wh_reg_delete_key "$WH_SAVER_KEY"
wh_reg_delete_key "$WH_MACHINE_KEY"
ih_snapshot "$WH_TMP/before"

# --- Cancel, No and Exit: each ends the installer silently and changes nothing.
ih_pages "$inst" "Tab Return"
ih_wait_end Cancel
ih_pages "$inst" Return "Tab Tab Return"
ih_wait_end No
ih_pages "$inst" Return Return "Tab Tab Return"
ih_wait_end Exit
[ -z "$(wh_msgbox_texts)" ] || wh_fail "Exit: boxes: $(wh_msgbox_texts)"

# --- No misto.scr beside the installer, or an empty one (no program): the copy error alone,
# nothing written.
mkdir -p "$WH_TMP/alone"
cp "$inst" "$WH_TMP/alone/installer.exe"
for source in missing empty; do
    [ "$source" = empty ] && : >"$WH_TMP/alone/misto.scr"
    ih_pages "$WH_TMP/alone/installer.exe" Return Return Return
    wh_close_msgbox Error 120 || wh_fail "$source file: no error box"
    ih_wait_end "$source file"
    [ "$(wh_msgbox_texts)" = "Cannot copy screen saver file to system directory!" ] ||
        wh_fail "$source file: boxes: $(wh_msgbox_texts)"
done

# --- Failures reach the one error box: a throw inside the licence page's procedure, and
# something that is no standard exception.
for fault in licence-page installer-unknown; do
    export MISTO_TEST_FAULT=$fault
    ih_start_installer "$inst"
    unset MISTO_TEST_FAULT
    expected="Sorry, unknown problem."
    if [ "$fault" = licence-page ]; then
        ih_answer "$IH_INSTALL_TITLE" Return
        expected="test failure in licence-page"
    fi
    wh_close_msgbox Error 120 || wh_fail "$fault: no error box; boxes: $(wh_msgbox_texts)"
    ih_wait_end "$fault"
    [ "$(wh_msgbox_texts)" = "$expected" ] || wh_fail "$fault: boxes: $(wh_msgbox_texts)"
done
ih_snapshot "$WH_TMP/after"
ih_same_snapshot "$WH_TMP/before" "$WH_TMP/after" "Cancel, No, Exit, a missing or empty file, failures"

# --- A full installation, with a look at the licence page on the way.
ih_pages "$inst" Return
page=$(ih_wait_page 'License Agreement') || exit 1
sleep 0.5
wh_shot "$WH_TMP/licence.png"
eval "$(xdotool getwindowgeometry --shell "$page")"
# The page is centred on the desktop (xdotool's position of a window inside Wine's desktop is
# not the screen's), and the edit fills its middle: the text is many dark pixels there.
X=$(((${WH_SIZE%x*} - WIDTH) / 2))
Y=$(((${WH_SIZE#*x} - HEIGHT) / 2))
dark=$(convert "$WH_TMP/licence.png" -crop "$((WIDTH - 40))x$((HEIGHT * 2 / 5))+$((X + 20))+$((Y + HEIGHT / 4))" \
    -colorspace Gray -threshold 35% -format '%[fx:int(w*h*(1-mean))]' info:)
[ "$dark" -gt 1500 ] || wh_fail "licence page: only $dark dark pixels where the text should be"
xdotool key Return
ih_wait_gone "$page" 'License Agreement'
ih_answer "$IH_INSTALL_TITLE" Return
wh_close_msgbox Success 120 || wh_fail "install: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end install
[ "$(wh_msgbox_texts)" = "Installation of Misto Screen Saver completed successfully." ] ||
    wh_fail "install: boxes: $(wh_msgbox_texts)"
cmp -s "$scr" "$sysdir/misto.scr" || wh_fail "install: $IH_SYSTEM_WIN\\misto.scr differs from the saver"
[ "$(wh_reg_query "$IH_ENTRY_KEY" DisplayName)" = "Misto Screen Saver" ] ||
    wh_fail "install: DisplayName is '$(wh_reg_query "$IH_ENTRY_KEY" DisplayName)'"
[ "$(wh_reg_query "$IH_ENTRY_KEY" UninstallString)" = "$IH_SYSTEM_WIN\\misto.scr /uninstall" ] ||
    wh_fail "install: UninstallString is '$(wh_reg_query "$IH_ENTRY_KEY" UninstallString)'"
for key in "$WH_SAVER_KEY" "$WH_MACHINE_KEY"; do
    [ "$(wh_reg_query "$key" Configuration)" = "$WH_DEFAULT_CONFIG" ] ||
        wh_fail "install: $key holds '$(wh_reg_query "$key" Configuration)'"
done

# --- A second installation: file and entry written again, edited configurations kept.
edited_user=$(wh_config_with 8 33)
edited_machine=$(wh_config_with 12 7)
wh_write_config "$edited_user"
wh_write_config "$edited_machine" "$WH_MACHINE_KEY"
wh_reg_add "$IH_ENTRY_KEY" UninstallString REG_SZ stale
printf 'old' >"$sysdir/misto.scr"
ih_install "$inst"
cmp -s "$scr" "$sysdir/misto.scr" || wh_fail "second install: the file was not overwritten"
[ "$(wh_reg_query "$IH_ENTRY_KEY" UninstallString)" = "$IH_SYSTEM_WIN\\misto.scr /uninstall" ] ||
    wh_fail "second install: the entry was not written again"
[ "$(wh_reg_query "$WH_SAVER_KEY" Configuration)" = "$edited_user" ] ||
    wh_fail "second install: the per-user configuration changed"
[ "$(wh_reg_query "$WH_MACHINE_KEY" Configuration)" = "$edited_machine" ] ||
    wh_fail "second install: the machine configuration changed"

# --- A per-user configuration alone, and the copy box cleared: no file, no machine
# configuration, the entry still written with the system directory's path.
rm -f "$sysdir/misto.scr"
wh_reg_delete_key "$IH_ENTRY_KEY"
wh_reg_delete_key "$WH_MACHINE_KEY"
ih_pages "$inst" Return Return "space Return"
wh_close_msgbox Success 120 || wh_fail "no copy: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end "no copy"
[ ! -e "$sysdir/misto.scr" ] || wh_fail "no copy: the file was copied"
[ "$(wh_reg_query "$IH_ENTRY_KEY" UninstallString)" = "$IH_SYSTEM_WIN\\misto.scr /uninstall" ] ||
    wh_fail "no copy: UninstallString is '$(wh_reg_query "$IH_ENTRY_KEY" UninstallString)'"
wh_reg query "$WH_MACHINE_KEY" >/dev/null 2>&1 &&
    wh_fail "per-user configuration: the machine root was written"
[ "$(wh_reg_query "$WH_SAVER_KEY" Configuration)" = "$edited_user" ] ||
    wh_fail "per-user configuration: it changed"

# --- Installed from a folder named in other scripts (none of its letters is in the system
# code page): the saver beside the installer is found and copied.
wide="$WINEPREFIX/drive_c/Программы 日本"
mkdir -p "$wide"
cp "$inst" "$wide/installer.exe"
cp "$scr" "$wide/misto.scr"
rm -f "$sysdir/misto.scr"
ih_install "$wide/installer.exe"
cmp -s "$scr" "$sysdir/misto.scr" || wh_fail "other scripts: the saver was not copied"

# --- Each program asks for its own rights: the saver runs as its user, the installer with the
# most its user may have; neither is virtualized (nothing Wine shows, so read from the files).
grep -aq 'requestedExecutionLevel level="asInvoker"' "$scr" ||
    wh_fail "the saver's manifest asks for no execution level of its own"
grep -aq 'requestedExecutionLevel level="highestAvailable"' "$inst" ||
    wh_fail "the installer's manifest asks for no execution level of its own"
echo "ok"
