#!/usr/bin/env bash
# The saver's self-uninstall under Wine, started through the registered "UninstallString":
# "No" and the close box change nothing; "Yes" removes the entry and the file, keeps the
# settings, shows the success box and leaves the temporary copy to be removed at the next
# start; /quiet shows nothing at all; a second uninstall overwrites the temporary copy; a saver
# under a path with blanks is removed; a file held by a running program is reported as still
# there, not as uninstalled, and keeps its entry (a quiet killer ends with exit code 2); a file
# already gone counts as removed; a kill without a path says that no file was named and
# removes nothing (quietly: exit code 2); a saver in a folder named in other scripts, with such a
# temporary directory, uninstalls itself; without a usable temporary directory nothing is
# removed (a quiet run ends with exit code 2).
set -u
scr=$1
inst=$2
. "$(dirname "$0")/../../scripts/wine-harness.sh"
. "$(dirname "$0")/install_helpers.sh"
wh_begin
sysdir=$(ih_system_dir)
tmpcopy="$(ih_temp_dir)/mss_uninst.tmp"
success="Misto Screen Saver uninstalled successfully."

# Starts the registered uninstall command as the system would (it holds no quotes); the
# victim's pid goes to IH_PID.
start_registered() {
    local command
    command=$(wh_reg_query "$IH_ENTRY_KEY" UninstallString) || wh_fail "no UninstallString"
    : >"$WH_LOG"
    # shellcheck disable=SC2086 # split into the program and its switches
    wh_start $command "$@"
    IH_PID=$WH_LAST_PID
}

# Waits up to 60 s for a file to be gone.
wait_removed() {
    local _
    for _ in $(seq 600); do
        [ -e "$1" ] || return 0
        sleep 0.1
    done
    wh_fail "$2: $1 is still there; boxes: $(wh_msgbox_texts)"
}

ih_install "$inst"
wh_config_with 8 33 >"$WH_TMP/user.hex"
wh_write_config "$(cat "$WH_TMP/user.hex")"

# --- "No", and the close box: nothing changes, the temporary directory included.
ih_snapshot "$WH_TMP/before"
start_registered
ih_answer Uninstall Tab Return
ih_wait_end No
start_registered
ih_answer Uninstall Escape
ih_wait_end "close box"
ih_snapshot "$WH_TMP/after"
ih_same_snapshot "$WH_TMP/before" "$WH_TMP/after" "No and the close box"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "No: boxes: $(wh_msgbox_texts)"

# --- "Yes": entry and file gone, settings kept, success box, copy left for the next start.
start_registered
ih_answer Uninstall Return
wh_close_msgbox Success 120 || wh_fail "Yes: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end Yes
[ "$(wh_msgbox_texts)" = "$success" ] || wh_fail "Yes: boxes: $(wh_msgbox_texts)"
[ ! -e "$sysdir/misto.scr" ] || wh_fail "Yes: the saver file is still there"
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 && wh_fail "Yes: the entry is still there"
[ "$(wh_reg_query "$WH_SAVER_KEY" Configuration)" = "$(cat "$WH_TMP/user.hex")" ] ||
    wh_fail "Yes: the per-user settings changed"
[ "$(wh_reg_query "$WH_MACHINE_KEY" Configuration)" = "$WH_DEFAULT_CONFIG" ] ||
    wh_fail "Yes: the machine settings changed"
cmp -s "$scr" "$tmpcopy" || wh_fail "Yes: no temporary copy of the saver"
ih_pending_removals | grep -qi 'mss_uninst\.tmp$' ||
    wh_fail "Yes: the temporary copy is not to be removed; exported:" \
        "$(grep -A2 Pending "$WH_TMP/pending.txt")"

# --- Quiet, after a first uninstall: nothing shown, the old temporary copy overwritten.
printf 'stale copy' >"$tmpcopy"
ih_fake_install "$scr"
start_registered /quiet
ih_wait_end quiet
wait_removed "$sysdir/misto.scr" quiet
for _ in $(seq 20); do
    wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 || break
    sleep 0.1
done
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 && wh_fail "quiet: the entry is still there"
cmp -s "$scr" "$tmpcopy" || wh_fail "quiet: the temporary copy was not overwritten"
[ -z "$(xdotool search --onlyvisible --name '^(Uninstall|Success|Error)$' 2>/dev/null)" ] ||
    wh_fail "quiet: a window showed"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "quiet: boxes: $(wh_msgbox_texts)"

# --- A saver under a path with blanks.
blanks="$WINEPREFIX/drive_c/Program Files/Misto Test"
ih_fake_install "$scr" "$blanks"
: >"$WH_LOG"
wh_start 'C:\Program Files\Misto Test\misto.scr' /uninstall
IH_PID=$WH_LAST_PID
ih_answer Uninstall Return
wh_close_msgbox Success 120 || wh_fail "blanks: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end blanks
[ ! -e "$blanks/misto.scr" ] || wh_fail "blanks: the saver file is still there"
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 && wh_fail "blanks: the entry is still there"

# --- The file held by another running program (a second uninstall waiting at its question):
# the killer reports the file, not success.
ih_fake_install "$scr"
: >"$WH_LOG"
wh_start "$IH_SYSTEM_WIN\\misto.scr" /uninstall
holder=$WH_LAST_PID
held=$(ih_wait_page Uninstall) || exit 1
# From here on programs start right after others end: a minimised Notepad holds the virtual
# desktop open, or a program may join the desktop that is just closing and show nothing.
wh_start cmd /c start /min notepad
wh_wait_window Notepad 60 >/dev/null || wh_fail "held: Notepad did not start"
start_registered
for _ in $(seq 300); do
    question=$(xdotool search --onlyvisible --name '^Uninstall$' 2>/dev/null | grep -vx "$held" | head -n 1)
    [ -n "$question" ] && break
    sleep 0.1
done
[ -n "$question" ] || wh_fail "held: the second question did not show"
# Both questions stand centred, one over the other, and a typed key may reach the one below:
# the newer one on top is answered with a click on its "Yes" (dialog units 86, 59 of 230 x 74).
eval "$(xdotool getwindowgeometry --shell "$question")"
sleep 0.3
wh_mouse_to $(((${WH_SIZE%x*} - WIDTH) / 2 + WIDTH * 86 / 230)) \
    $(((${WH_SIZE#*x} - HEIGHT) / 2 + HEIGHT * 59 / 74))
wh_click 1
wh_close_msgbox Error 120 || wh_fail "held: no error box; boxes: $(wh_msgbox_texts)"
ih_wait_end held
texts=$(wh_msgbox_texts)
# The log writes a line break as \n and a backslash doubled.
logged_path=$(printf '%s\\misto.scr' "$IH_SYSTEM_WIN" | sed 's/\\/\\\\/g')
[ "$texts" = "Cannot delete the screen saver file; it is still there:\\n\\n$logged_path\\n\\nIts uninstall entry is kept: uninstall again once no program uses the file." ] ||
    wh_fail "held: boxes: $texts"
[ -e "$sysdir/misto.scr" ] || wh_fail "held: the file is gone after all"
# The entry goes only with the file: it stays the user's way to try again.
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 || wh_fail "held: the entry went without the file"
# Closed with a click on its "No" (at 144, 59): a key sent to a window that does not have the
# focus (Notepad may have it now) is dropped.
eval "$(xdotool getwindowgeometry --shell "$held")"
wh_mouse_to $(((${WH_SIZE%x*} - WIDTH) / 2 + WIDTH * 144 / 230)) \
    $(((${WH_SIZE#*x} - HEIGHT) / 2 + HEIGHT * 59 / 74))
wh_click 1
wh_wait "$holder" 30 || wh_fail "held: the holding question stayed open"

# The quiet killer $IH_PID ends with exit code 2 and no box, the saver file and the entry kept.
quiet_killer_kept_all() {
    wh_wait "$IH_PID" 120 || wh_fail "$1: the killer still runs"
    [ "$WH_RC" = 2 ] || wh_fail "$1: exit code $WH_RC instead of 2"
    [ -z "$(wh_msgbox_texts)" ] || wh_fail "$1: boxes: $(wh_msgbox_texts)"
    [ -e "$blanks/misto.scr" ] || wh_fail "$1: the saver file went"
    wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 || wh_fail "$1: the entry went"
}

# --- A quiet killer that could not delete the file says so by its exit code, shows nothing,
# and keeps the entry. A read-only file stands for a held one here: Wine now and then lets a
# running program's file go when the same path held another program before.
ih_fake_install "$scr" "$blanks"
chmod a-w "$blanks/misto.scr"
: >"$WH_LOG"
wh_start "$(wh_winpath "$scr")" /kill 'C:\Program Files\Misto Test\misto.scr' /quiet
IH_PID=$WH_LAST_PID
quiet_killer_kept_all "read-only, quiet"
chmod u+w "$blanks/misto.scr"

# --- A file that is already gone counts as removed.
: >"$WH_LOG"
wh_start "$(wh_winpath "$scr")" /kill 'C:\windows\no where\misto.scr'
IH_PID=$WH_LAST_PID
wh_close_msgbox Success 120 || wh_fail "gone: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end gone

# --- /kill without a quoted path names no file: the box says so and nothing is removed; a
# quiet one ("/quiet" first: a switch after /kill is read as the path's first character) shows
# nothing and ends with exit code 2.
ih_fake_install "$scr" "$blanks"
: >"$WH_LOG"
wh_start "$(wh_winpath "$scr")" /kill
IH_PID=$WH_LAST_PID
wh_close_msgbox Error 120 || wh_fail "no path: no error box; boxes: $(wh_msgbox_texts)"
ih_wait_end "no path"
[ "$(wh_msgbox_texts)" = 'No screen saver file was named to delete.\n\nNothing has been uninstalled.' ] ||
    wh_fail "no path: boxes: $(wh_msgbox_texts)"
: >"$WH_LOG"
wh_start "$(wh_winpath "$scr")" /quiet /kill
IH_PID=$WH_LAST_PID
quiet_killer_kept_all "no path, quiet"

# --- Paths in other scripts: a saver in "C:\Программы 日本" with a user's temporary directory
# "C:\users\Иван\Temp" uninstalls itself. (The system code page has none of these letters.)
wide="$WINEPREFIX/drive_c/Программы 日本"
ivan="$WINEPREFIX/drive_c/users/Иван"
mkdir -p "$ivan/Temp"
set_temp() {
    wh_reg_add 'HKCU\Environment' TMP REG_SZ "$1"
    wh_reg_add 'HKCU\Environment' TEMP REG_SZ "$1"
}
set_temp 'C:\users\Иван\Temp'
ih_fake_install "$scr" "$wide"
: >"$WH_LOG"
wh_start 'C:\Программы 日本\misto.scr' /uninstall
IH_PID=$WH_LAST_PID
ih_answer Uninstall Return
wh_close_msgbox Success 120 || wh_fail "other scripts: no success box; boxes: $(wh_msgbox_texts)"
ih_wait_end "other scripts"
[ ! -e "$wide/misto.scr" ] || wh_fail "other scripts: the saver file is still there"
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 && wh_fail "other scripts: the entry is still there"
cmp -s "$scr" "$ivan/Temp/mss_uninst.tmp" || wh_fail "other scripts: no temporary copy in Иван's Temp"

# --- No usable temporary directory: nothing is removed. A missing one is named in the copy
# error, letters of other scripts included (Wine's log writes them as \0418 and so on); one
# longer than a path may be is refused too, where a bare name would copy into the working
# directory; a quiet run ends with exit code 2.
ih_fake_install "$scr" "$wide"
set_temp 'C:\users\Иван\nowhere'
: >"$WH_LOG"
wh_start 'C:\Программы 日本\misto.scr' /uninstall
IH_PID=$WH_LAST_PID
ih_answer Uninstall Return
wh_close_msgbox Error 120 || wh_fail "no temporary directory: no error box; boxes: $(wh_msgbox_texts)"
ih_wait_end "no temporary directory"
[ "$(wh_msgbox_texts)" = 'Cannot copy the screen saver to its temporary file:\n\nC:\\users\\\0418\0432\0430\043d\\nowhere\\mss_uninst.tmp\n\nNothing has been uninstalled.' ] ||
    wh_fail "no temporary directory: boxes: $(wh_msgbox_texts)"
set_temp "C:\\$(printf 'long%.0s' $(seq 75))"
mkdir -p "$WH_TMP/work"
: >"$WH_LOG"
cd "$WH_TMP/work" || wh_fail "no working directory"
wh_start 'C:\Программы 日本\misto.scr' /uninstall /quiet
IH_PID=$WH_LAST_PID
cd - >/dev/null || wh_fail "no way back"
wh_wait "$IH_PID" 120 || wh_fail "long temporary directory: still running"
[ "$WH_RC" = 2 ] || wh_fail "long temporary directory: exit code $WH_RC instead of 2"
[ -z "$(wh_msgbox_texts)" ] || wh_fail "long temporary directory: boxes: $(wh_msgbox_texts)"
[ -z "$(ls -A "$WH_TMP/work")" ] || wh_fail "long temporary directory: copied into the working directory"
[ -e "$wide/misto.scr" ] || wh_fail "no temporary directory: the saver file went"
wh_reg query "$IH_ENTRY_KEY" >/dev/null 2>&1 || wh_fail "no temporary directory: the entry went"
echo "ok"
