# shellcheck shell=bash
# Waiting for a condition in the project's test and bench scripts: sourced.

# Polls COMMAND every 0.1 s until it succeeds or SECONDS pass: poll_until SECONDS COMMAND...
poll_until() {
    local limit=$(($1 * 10)) i
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Whether process PID has ended: process_gone PID.
process_gone() { ! kill -0 "$1" 2>/dev/null; }
