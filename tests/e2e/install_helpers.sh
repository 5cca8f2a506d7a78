# Helpers of the installation tests and pictures: the installer's pages, the uninstall entry,
# and snapshots of what an installation may change. Source after scripts/wine-harness.sh.
# shellcheck shell=bash

IH_ENTRY_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Misto Screen Saver'
IH_INSTALL_TITLE='Misto Screen Saver Installation'

# The system directory of the programs under test, as Windows names it (a 32-bit program's
# is syswow64) and as a Linux path.
if wh_program_is_32bit; then
    IH_SYSTEM_WIN='C:\windows\syswow64'
else
    IH_SYSTEM_WIN='C:\windows\system32'
fi
ih_system_dir() { echo "$WINEPREFIX/drive_c/windows/${IH_SYSTEM_WIN##*\\}"; }

# The temporary directory of the prefix's user, as a Linux path.
ih_temp_dir() { echo "$WINEPREFIX/drive_c/users/$(id -un)/Temp"; }

# Waits for a visible window titled exactly TITLE and prints its id. The first program of a
# fresh prefix starts Wine's services too, which takes long on a loaded machine.
ih_wait_page() {
    wh_wait_visible "^$1\$" 120 || wh_fail "no window \"$1\"; boxes: $(wh_msgbox_texts)"
}

# Waits up to 30 s for the window ID to be gone.
ih_wait_gone() {
    local i
    for i in $(seq 300); do
        xdotool search --onlyvisible --name "^$2\$" 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    wh_fail "\"$2\" stayed open"
}

# Answers the window titled TITLE with the keys (xdotool names) and waits for it to go.
ih_answer() {
    local title=$1 id
    shift
    id=$(ih_wait_page "$title") || exit 1
    sleep 0.3
    xdotool key --delay 80 "$@"
    ih_wait_gone "$id" "$title"
}

# Starts an installer (Linux path) with an empty log; its pid goes to IH_PID.
ih_start_installer() {
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$1")"
    IH_PID=$WH_LAST_PID
}

# Starts an installer and answers its pages in order: one argument of keys (xdotool names, blank
# between them) a page; with fewer arguments the later pages are left to the caller.
ih_pages() {
    local titles=("$IH_INSTALL_TITLE" 'License Agreement' "$IH_INSTALL_TITLE") i=0 keys
    ih_start_installer "$1"
    shift
    for keys in "$@"; do
        # shellcheck disable=SC2086 # one key a word
        ih_answer "${titles[i]}" $keys
        i=$((i + 1))
    done
}

# Waits for the program IH_PID to end with 0.
ih_wait_end() {
    wh_wait "$IH_PID" 120 || wh_fail "$1: still running"
    [ "$WH_RC" = 0 ] || wh_fail "$1: exit code $WH_RC"
}

# A full installation answered with Return on every page and on the success box.
ih_install() {
    ih_pages "$1" Return Return Return
    wh_close_msgbox Success 120 || wh_fail "install: no success box; boxes: $(wh_msgbox_texts)"
    ih_wait_end install
}

# Writes what an installation leaves (the file and the entry) without the installer.
ih_fake_install() {
    local dir=${2:-$(ih_system_dir)} win
    mkdir -p "$dir"
    cp "$1" "$dir/misto.scr"
    win="C:\\$(realpath --relative-to="$WINEPREFIX/drive_c" "$dir/misto.scr" | tr / '\\')"
    wh_reg_add "$IH_ENTRY_KEY" DisplayName REG_SZ "Misto Screen Saver"
    wh_reg_add "$IH_ENTRY_KEY" UninstallString REG_SZ "$win /uninstall"
}

# Exports a registry key as UTF-8 text to OUT. An export now and then fails under load (the
# reason is not shown): it is tried again.
ih_export() {
    local _
    for _ in 1 2 3 4 5; do
        if wh_reg export "$1" "$(wh_winpath "$WH_TMP")\\export.reg" /y \
            >"$WH_TMP/export.log" 2>&1; then
            iconv -f UTF-16 -t UTF-8 "$WH_TMP/export.reg" | tr -d '\r' >"$2"
            return 0
        fi
        sleep 1
    done
    wh_fail "reg export $1 failed: $(tr -d '\r' <"$WH_TMP/export.log")"
}

# Records the software keys of both roots and the files of drive C (names and sizes) as OUT.*.
# Wine's own keys are left out: its programs keep state there as they please.
ih_snapshot() {
    local out=$1 root
    for root in HKLM HKCU; do
        ih_export "$root\\Software" "$WH_TMP/snapshot.txt"
        awk '/^\[/ { skip = ($0 ~ /^\[HKEY_[A-Z_]+\\Software\\Wine[]\\]/) } !skip' \
            "$WH_TMP/snapshot.txt" >"$out.$root"
    done
    (cd "$WINEPREFIX/drive_c" && find . -printf '%p %s\n' | sort) >"$out.files"
}

# Fails unless two snapshots are equal, showing the difference.
ih_same_snapshot() {
    local part
    for part in HKLM HKCU files; do
        diff "$1.$part" "$2.$part" >&2 || wh_fail "$3: $part changed"
    done
}

# Prints the files the machine removes at its next start (PendingFileRenameOperations).
ih_pending_removals() {
    ih_export 'HKLM\System\CurrentControlSet\Control\Session Manager' "$WH_TMP/pending.txt"
    sed -e ':a' -e '/\\$/N; s/\\\n *//; ta' "$WH_TMP/pending.txt" |
        sed -n 's/^"PendingFileRenameOperations"=hex(7)://p' | tr -d ',' | xxd -r -p |
        iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n' | sed '/^$/d'
}
