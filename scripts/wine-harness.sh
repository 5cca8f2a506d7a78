# Shared helpers for the end-to-end tests and the demo: a private Wine session (own prefix,
# own X display, Wine's virtual desktop), screenshots, input, registry and message boxes.
# Source it, then call wh_begin (or wh_begin_monitors, wh_begin_on_wallpaper); the EXIT trap
# set by wh_begin tears everything down. The helpers live in four parts under harness/.
# shellcheck shell=bash

WH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for wh_part in session registry monitors screen_and_input; do
    # shellcheck source=/dev/null
    . "$WH_ROOT/scripts/harness/$wh_part.sh"
done
unset wh_part
