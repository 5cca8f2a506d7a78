# Helpers of the configure-mode tests: open the Settings dialog and the Options sheet, find and
# click their controls (through preview_host's look into the saver's windows), read the stored
# configuration. Source after wine-harness.sh; set CF_HOST to preview_host.exe first.
# shellcheck shell=bash

CF_SHEET='Misto Screen Saver Options'

# Prints "x y width height" of the client area of control ID (or window class) in the top-level
# window TITLE, waiting up to 90 s for it to exist (each look starts Wine, slow under load).
cf_where() {
    local out end=$(($(date +%s) + 90))
    while :; do
        out=$("$WH_WINE" "$(wh_winpath "$CF_HOST")" where "$1" "$2" 2>/dev/null | tr -d '\r')
        [ -n "$out" ] && {
            echo "$out"
            return 0
        }
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.2
    done
}

# Clicks control ID of window TITLE at (DX, DY) inside its client area (default: its middle).
# Places are remembered: the dialogs open at the same place every time, and each look costs a
# start of Wine.
declare -A CF_PLACES=()
cf_click() {
    local r x y w h
    r=${CF_PLACES["$1/$2"]:-}
    if [ -z "$r" ]; then
        r=$(cf_where "$1" "$2") || wh_fail "no control $2 in \"$1\""
        CF_PLACES["$1/$2"]=$r
    fi
    read -r x y w h <<<"$r"
    wh_mouse_to $((x + ${3:-$((w / 2))})) $((y + ${4:-$((h / 2))}))
    wh_click 1
}

# Keeps Wine's virtual desktop open from now on (a minimised notepad): a desktop made anew for
# each program can take input meant for the program's first window.
# A desktop left by an earlier program (the harness's registry writes) may still be closing when
# notepad first shows, taking its programs with it: the notepad must stay for 3 s in a row.
cf_hold_desktop() {
    local since end
    wh_start cmd /c start /min notepad
    end=$(($(date +%s) + 90))
    since=""
    while [ "$(date +%s)" -lt "$end" ]; do
        if xdotool search --name Notepad >/dev/null 2>&1; then
            [ -z "$since" ] && since=$(date +%s)
            [ $(($(date +%s) - since)) -ge 3 ] && return 0
        else
            # Gone again: the desktop closed under it; open another.
            [ -n "$since" ] && wh_start cmd /c start /min notepad
            since=""
        fi
        sleep 0.3
    done
    wh_fail "the virtual desktop did not stay open"
}

# Clicks the title bar of window TITLE, which makes it the active window, so that typed keys
# surely reach it: a window that opens while another one is taking the focus may stay inactive.
cf_focus() {
    local r x y w h
    r=${CF_PLACES["$1/-"]:-}
    if [ -z "$r" ]; then
        r=$(cf_where "$1" -) || wh_fail "no window \"$1\""
        CF_PLACES["$1/-"]=$r
    fi
    read -r x y w h <<<"$r"
    wh_mouse_to $((x + w / 3)) $((y + 10))
    wh_click 1
    sleep 0.2
}

# Starts the saver with the given arguments and waits for the Settings dialog; pid in CF_PID.
cf_start_settings() {
    : >"$WH_LOG"
    wh_start "$(wh_winpath "$CF_SCR")" "$@"
    CF_PID=$WH_LAST_PID
    CF_ENDED=""
    wh_wait_visible '^Settings$' 60 >/dev/null && return
    # Tells a saver that ended (and how) from one still starting, with Wine's last words.
    local state="was still running"
    wh_alive "$CF_PID" || { wh_wait "$CF_PID" 1 || true; state="had ended with ${WH_RC:-?}"; }
    wh_fail "no Settings dialog for $* within 60 s (the saver $state); boxes:" \
        "$(wh_msgbox_texts); Wine's log ends: $(tail -n 5 "$WH_LOG" | tr '\n' '|')"
}

# Presses "Options..." and waits for the sheet with its Rain page.
# A press that a loaded machine loses is pressed again; a second press while the sheet is up
# lands on its page or on the disabled dialog and does nothing.
cf_open_options() {
    local try
    for try in 1 2 3; do
        cf_click Settings 1007
        wh_wait_visible "^$CF_SHEET\$" 20 >/dev/null && break
        [ "$try" = 3 ] && wh_shot "$WH_TMP/no-sheet.png" && wh_fail "the Options sheet did not open"
    done
    cf_where "$CF_SHEET" 'Wind Direction Control' >/dev/null || wh_fail "no Rain page"
}

# Ends the Settings dialog by the given action (a command with its arguments), done again while
# the dialog still shows 10 s later (a second press of a vanishing dialog is harmless), then
# waits for the program, whose end under Wine can take long on a loaded machine. The exit code
# is in WH_RC, and CF_ENDED tells that the program has been waited for.
cf_end_settings() {
    local try i
    for try in 1 2 3 4; do
        "$@"
        for i in $(seq 50); do
            xdotool search --onlyvisible --name '^Settings$' >/dev/null 2>&1 || break 2
            sleep 0.2
        done
    done
    wh_wait "$CF_PID" 120 && CF_ENDED=1 && return 0
    wh_shot "$WH_TMP/still-running.png"
    wh_fail "the program still runs after: $*"
}

# Escape typed to the Settings dialog.
cf_escape() {
    cf_focus Settings
    wh_key Escape
}

# Waits until the sheet has closed.
cf_wait_sheet_closed() {
    local end=$(($(date +%s) + 30))
    while xdotool search --onlyvisible --name "^$CF_SHEET\$" >/dev/null 2>&1; do
        [ "$(date +%s)" -ge "$end" ] && wh_fail "the Options sheet stayed open"
        sleep 0.2
    done
}

# Presses the sheet's OK (1) or Cancel (2).
cf_sheet_button() { cf_click "$CF_SHEET" "$1"; }

# Switches the sheet to its Display page: a click on the first tab gives the tabs the focus.
cf_show_display_page() {
    cf_click "$CF_SHEET" SysTabControl32 12 10
    sleep 0.3
    wh_key Right
    cf_where "$CF_SHEET" 1020 >/dev/null || wh_fail "the Display page did not show"
}

# Prints what preview_host sees in the sheet: "controls", those of the page showing in z-order,
# or "focus", the focused control; each as "id|class|text".
cf_sheet_look() { "$WH_WINE" "$(wh_winpath "$CF_HOST")" "$1" "$CF_SHEET" 2>/dev/null | tr -d '\r'; }

# Waits up to 60 s until the sheet's focused control is "id|class|text"; status 1 if it is not.
cf_wait_focus() {
    local end=$(($(date +%s) + 60))
    until [ "$(cf_sheet_look focus)" = "$1" ]; do
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.3
    done
}

# Prints the per-user configuration as upper-case hex (status 1 when there is none).
cf_config() { wh_reg_query "$WH_SAVER_KEY" Configuration; }

# Expects a box titled "Error" with string TEXT, closes it; the sheet must still be open.
cf_expect_refusal() {
    wh_close_msgbox Error 30 || wh_fail "$2: no error box"
    local said
    # Wine's log writes a quote inside the text as \".
    said=$(wh_msgbox_texts | tail -n 1 | sed 's/\\"/"/g')
    [ "$said" = "$1" ] || wh_fail "$2: box said: $said"
    xdotool search --onlyvisible --name "^$CF_SHEET\$" >/dev/null 2>&1 ||
        wh_fail "$2: the sheet closed after the refusal"
}

# Prints the float32 bits of an expression in pi (3.14159265359), as a number for wh_config_with.
# float(x) inside the expression rounds to float32, as the program's float variables do.
cf_float_bits() {
    python3 -c "import struct
pi = 3.14159265359
def float(x): return struct.unpack('<f', struct.pack('<f', x))[0]
print(struct.unpack('<I', struct.pack('<f', $1))[0])"
}
