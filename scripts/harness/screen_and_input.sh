# What the tests see and do: windows, message boxes, screenshots and their comparison, keys
# and the mouse through XTEST, the saver started and watched. Part of wine-harness.sh.
# shellcheck shell=bash

# Where wh_start_saver parks the pointer: on the primary monitor, away from its edges.
WH_PARK_X=500
WH_PARK_Y=400

# Waits up to SECONDS for a window whose title matches the regex; prints its X window id.
# Further arguments are options of xdotool's search (such as --onlyvisible).
wh_wait_window() {
    local title=$1 limit=$2 end id
    shift 2
    end=$(($(date +%s) + limit))
    while :; do
        id=$(xdotool search "$@" --name "$title" 2>/dev/null | head -n 1)
        [ -n "$id" ] && {
            echo "$id"
            return 0
        }
        [ "$(date +%s)" -ge "$end" ] && return 1
        sleep 0.2
    done
}

# Waits up to SECONDS for a visible window whose title matches the regex; prints its id.
wh_wait_visible() { wh_wait_window "$1" "$2" --onlyvisible; }

# Prints the texts of all message boxes shown so far, one a line.
wh_msgbox_texts() {
    sed -n 's/.*MSGBOX_OnInit L"\(.*\)"[^"]*$/\1/p' "$WH_LOG" | tr -d '\r'
}

# Waits for a message box with the given caption, then closes it with Return; status 1 if none
# appears or it stays open. xdotool's own status says nothing here: the box vanishes while
# xdotool still works on its window, and xdotool then reports BadWindow for a key that landed.
wh_close_msgbox() {
    local id try i
    id=$(wh_wait_window "^$1\$" "${2:-60}") || return 1
    for try in 1 2 3; do
        sleep 0.3
        # Typed through XTEST: keys sent to a window (XSendEvent) may be dropped by Wine, or
        # leave Return held down for the next program. Typed keys go to the X input focus, which
        # the box does not always have: when a program's last window closes, Wine may hand the
        # X focus to another program's window (the session's Notepad) and leave it there while
        # the box shows, above all under load. Then the X focus is set on the box itself
        # (XSetInputFocus: there is no window manager, so windowactivate cannot work) before
        # typing again.
        [ "$try" = 1 ] || timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1
        xdotool key Return >/dev/null 2>&1
        for i in $(seq 20); do
            xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$id" || return 0
            sleep 0.1
        done
    done
    return 1
}

# Saves a screenshot of the whole display as PNG.
wh_shot() { xwd -root -silent -display "$DISPLAY" | convert xwd:- "png:$1"; }

# Saves a raw screenshot (xwd format, no conversion: a few milliseconds) for later comparison.
wh_shot_raw() { xwd -root -silent -display "$DISPLAY" >"$1"; }

# Prints how many pixels differ between two pictures of the same size; with a third argument,
# only pixels whose colours lie more than that many percent apart count (for converted depths).
# Either picture may be PNG or xwd (prefix "xwd:").
wh_diff_pixels() {
    compare -metric AE ${3:+-fuzz "$3%"} "$1" "$2" null: 2>&1 | awk '{print int($1)}'
}

# Prints the number of pixels of the virtual desktop (its width times its height).
wh_screen_pixels() { echo $((${WH_SIZE%x*} * ${WH_SIZE#*x})); }

# Prints a picture's mean brightness in percent (0 black, 100 white).
wh_brightness() { convert "$1" -colorspace Gray -format '%[fx:int(100*mean+0.5)]' info:; }

# Starts the full-screen saver (extra arguments are added to /s) with the cursor parked at
# (WH_PARK_X, WH_PARK_Y) first, so the move Wine sends when the window appears lands there;
# waits for its window to show. Its pid goes to WH_SAVER_PID.
wh_start_saver() {
    local scr=$1
    shift
    wh_mouse_to "$WH_PARK_X" "$WH_PARK_Y"
    wh_start "$(wh_winpath "$scr")" /s "$@"
    WH_SAVER_PID=$WH_LAST_PID
    local end=$(($(date +%s) + 60))
    until xdotool search --onlyvisible --name '^Misto Screen Saver$' >/dev/null 2>&1; do
        if ! wh_alive "$WH_SAVER_PID"; then
            wh_wait "$WH_SAVER_PID" 1
            wh_fail "the saver ended with $WH_RC before its window showed;" \
                "boxes: $(wh_msgbox_texts)"
        fi
        [ "$(date +%s)" -ge "$end" ] && wh_fail "the saver's window did not show within 60 s"
        sleep 0.2
    done
}

# Waits up to SECONDS until the screen differs from the reference picture in MIN to MAX
# pixels (with an optional colour tolerance in percent); prints the last count. Status 1 on
# time-out. Used to wait for the first drops without guessing how long the set-up takes; the
# upper bound lets the black moment before the first frame pass.
wh_wait_screen_change() {
    local ref=$1 min=$2 max=$3 limit=$4 fuzz=${5:-} end n shot="$WH_TMP/wait.xwd"
    end=$(($(date +%s) + limit))
    while :; do
        wh_shot_raw "$shot"
        n=$(wh_diff_pixels "$ref" "xwd:$shot" "$fuzz")
        [ "${n:-0}" -ge "$min" ] && [ "${n:-0}" -le "$max" ] && {
            echo "$n"
            return 0
        }
        [ "$(date +%s)" -ge "$end" ] && {
            echo "${n:-0}"
            return 1
        }
        sleep 0.2
    done
}

# Presses a key (xdotool key name) on the focused window.
wh_key() { xdotool key "$1"; }

# Moves the mouse to absolute screen coordinates.
wh_mouse_to() { xdotool mousemove "$1" "$2"; }

# Clicks a mouse button (1 left, 2 middle, 3 right, 4 and 5 the wheel).
wh_click() { xdotool click "$1"; }

# Photographs the screen as often as it can for SECONDS, then prints, one a line, how many
# pixels of each picture differ from the reference (optional colour tolerance in percent).
# The pictures are compared after the recording so that the samples lie close together.
wh_record_changes() {
    local ref=$1 seconds=$2 fuzz=${3:-} end i=0 f
    end=$(($(date +%s%N) / 1000000 + seconds * 1000))
    mkdir -p "$WH_TMP/series"
    rm -f "$WH_TMP"/series/*.xwd
    while [ $(($(date +%s%N) / 1000000)) -lt "$end" ]; do
        wh_shot_raw "$(printf '%s/series/%04d.xwd' "$WH_TMP" "$i")"
        i=$((i + 1))
        sleep 0.05
    done
    for f in "$WH_TMP"/series/*.xwd; do wh_diff_pixels "$ref" "xwd:$f" "$fuzz"; done
}

# Reads counts (one a line) and prints how many times the count fell to at most a third of
# the highest count seen since the previous fall, where that highest count was at least MIN:
# the number of times the picture went back to (nearly) the reference.
wh_count_falls() {
    awk -v min="$1" '{ if (peak >= min && $1 * 3 <= peak) { falls++; peak = $1 }
                       else if ($1 > peak) peak = $1 }
                     END { print falls + 0 }'
}
