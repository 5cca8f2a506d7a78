# shellcheck shell=bash
# What the project's test and bench scripts share: sourced. A script that cannot run for want of
# a program skips with status 77, which CTest reads as skipped.

# What a script is about to do, with the time, so that a run stopped from outside shows where
# it was.
step() { echo "$(date +%T) $*"; }

skip_test() {
    echo "SKIP: $*" >&2
    exit 77
}

# Skips unless every PROGRAM is installed: need_programs PROGRAM...
need_programs() {
    local program
    for program in "$@"; do
        command -v "$program" >/dev/null || skip_test "$program is not installed (scripts/install-deps)"
    done
}

# Polls COMMAND every 0.1 s until it succeeds or SECONDS pass, by the clock however long each
# try takes (a screenshot on a loaded machine takes most of a second): poll_until SECONDS
# COMMAND...
poll_until() {
    local end=$((SECONDS + $1))
    shift
    while :; do
        "$@" && return 0
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Whether process PID has ended: process_gone PID.
process_gone() { ! kill -0 "$1" 2>/dev/null; }
