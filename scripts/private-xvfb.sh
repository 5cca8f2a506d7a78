# Starts a private X server for one test run. Source it, then: private_xvfb WxH[xDEPTH] [Xvfb options].
# Xvfb picks a free display number itself, taking its lock atomically, and writes the number to
# fd 3 once it accepts connections. Choosing the number here instead (the first one without a
# lock file) let two runs started in the same instant pick the same one: the second server
# failed, but its run saw the first server's socket and took that display, so both runs typed
# into each other's windows.
# Sets PRIVATE_XVFB_PID and exports DISPLAY; status 1 when no server came up within 30 s.
# shellcheck shell=bash

private_xvfb() {
    local size=$1 numberFile number="" _
    shift
    numberFile=$(mktemp)
    # WxH is given depth 24; WxHxD keeps its own depth.
    [[ $size == *x*x* ]] || size="${size}x24"
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp "$@" 3>"$numberFile" >/dev/null 2>&1 &
    PRIVATE_XVFB_PID=$!
    for _ in $(seq 300); do
        number=$(head -n 1 "$numberFile")
        [ -n "$number" ] && break
        kill -0 "$PRIVATE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$numberFile"
    if [ -z "$number" ]; then
        kill "$PRIVATE_XVFB_PID" 2>/dev/null
        PRIVATE_XVFB_PID=""
        return 1
    fi
    export DISPLAY=":$number"
}
