# The registry of the session's prefix, in the view of the programs under test: the saver's
# stored configuration, the wallpaper and Wine's own settings. Part of wine-harness.sh.
# shellcheck shell=bash

WH_DESKTOP=misto
WH_SAVER_KEY='HKCU\Software\Tarnwick Labs\Misto Screen Saver'
WH_MACHINE_KEY='HKLM\Software\Tarnwick Labs\Misto Screen Saver'
# The configuration the installer writes by default (54 bytes, little-endian fields).
WH_DEFAULT_CONFIG=00020000000100001900000028000000E4CB164004000000050000000100020000001E00000020030000800200002000000050000000

# Runs Wine's reg in the registry view of the programs under test.
wh_reg() {
    if wh_program_is_32bit; then
        "$WH_WINE" reg "$@" /reg:32
    else
        "$WH_WINE" reg "$@"
    fi
}

# Writes a registry value: wh_reg_add KEY NAME TYPE DATA.
# Tried three times: under load (ctest -j) a command in a freshly copied prefix can fail.
wh_reg_add() {
    local try
    for try in 1 2 3; do
        wh_reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 && return 0
        sleep 1
    done
    wh_fail "reg add $1 $2 failed three times"
}

# Prints a registry value's data (empty and status 1 when it is missing): wh_reg_query KEY NAME.
wh_reg_query() {
    local out
    out=$(wh_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    echo "$out" | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print; f = 1 }
        END { exit !f }'
}

# Deletes a registry key with everything under it (no error when absent).
wh_reg_delete_key() { wh_reg delete "$1" /f >/dev/null 2>&1 || true; }

# Writes a configuration (hex, default: the installer's) as HKCU's (or the given key's) value.
wh_write_config() {
    wh_reg_add "${2:-$WH_SAVER_KEY}" Configuration REG_BINARY "${1:-$WH_DEFAULT_CONFIG}"
}

# Prints the default configuration with fields replaced, little-endian: OFFSET VALUE ...
# An offset written OFFSET:1 is a one-byte field (the two flags), any other a 32-bit one.
# Layout: 8 density, 12 windForce, 20 minDropRadius, 24 dropRadiusSpread, 28:1 useDesktopMode,
# 29:1 restartEnabled, 30 restartMinutes, 34 restartSeconds, 38 modeWidth, 42 modeHeight,
# 46 modeBits, 50 modeRefresh.
wh_config_with() {
    local hex=$WH_DEFAULT_CONFIG off size val le i
    while [ $# -ge 2 ]; do
        off=${1%%:*}
        size=4
        [ "$1" != "$off" ] && size=${1#*:}
        val=$2
        shift 2
        le=""
        for ((i = 0; i < size; i++)); do le+=$(printf '%02X' $(((val >> (8 * i)) & 255))); done
        hex="${hex:0:$((off * 2))}$le${hex:$((off * 2 + size * 2))}"
    done
    echo "$hex"
}

# Sets the virtual desktop's wallpaper (a .bmp, Linux path).
wh_set_wallpaper() {
    wh_reg_add 'HKCU\Control Panel\Desktop' Wallpaper REG_SZ "$(wh_winpath "$1")"
}

# Puts every program of the prefix into one virtual desktop. Started through the desktop
# switch of explorer, a program's exit code is lost (explorer returns 0); started plainly with
# this default in place, the loader returns the program's own code.
wh_use_virtual_desktop() {
    wh_reg_add 'HKCU\Software\Wine\Explorer' Desktop REG_SZ "$WH_DESKTOP"
    wh_reg_add 'HKCU\Software\Wine\Explorer\Desktops' "$WH_DESKTOP" REG_SZ "$WH_SIZE"
}
