#!/usr/bin/env bash
# misto ends when its host says so, whatever the X server or the file system does: SIGTERM while
# the server is stopped (SIGSTOP), running or still connecting, leaves misto gone within 2 s and
# no shared memory behind; a preferences file that is a FIFO or /dev/zero neither blocks the
# start nor fills the memory: it is passed over with a word, and the rain goes on.
# Usage: test_ending.sh MISTO
set -uo pipefail

MISTO=$1
. "$(dirname "$0")/x11_helpers.sh"
need_programs Xvfb xwd convert compare xwininfo ipcs

x11_begin 320x240
ROOT_ID=$(xwininfo -root | awk '/Window id:/ { print $4 }')
RAIN=(--density 50 --seed 4 --delay 5000)

# Whether misto holds SIGTERM: from then on it is the watcher's to take.
sigterm_held() {
    local mask
    mask=$(awk '/^SigBlk/ { print $2 }' "/proc/$1/status" 2>/dev/null) && (((0x$mask & 0x4000) != 0))
}

# Sends SIGTERM to PID and succeeds when it is gone within 2 s.
ends_within_two_seconds() {
    local end=$(($(date +%s%N) + 2000000000))
    kill -TERM "$1"
    while [ "$(date +%s%N)" -lt $end ]; do
        process_gone "$1" && return 0
        sleep 0.02
    done
    process_gone "$1"
}

# Preferences that are no file to read: misto says so, rains and ends as asked.
mkdir -p "$X11_TMP/fifo" "$X11_TMP/zero"
mkfifo "$X11_TMP/fifo/.xscreensaver"
ln -s /dev/zero "$X11_TMP/zero/.xscreensaver"
for home in fifo zero; do
    step "~/.xscreensaver is $home"
    HOME="$X11_TMP/$home" "$MISTO" --window-id "$ROOT_ID" --frames 5 "${RAIN[@]}" \
        2>"$X11_TMP/err" &
    pid=$!
    x11_started $pid
    poll_until 60 process_gone $pid || x11_fail "~/.xscreensaver as $home: misto still runs"
    wait $pid
    rc=$?
    [ $rc -eq 0 ] || x11_fail "~/.xscreensaver as $home: exit $rc, $(cat "$X11_TMP/err")"
    grep -q "ignoring .*\.xscreensaver: not a regular file" "$X11_TMP/err" ||
        x11_fail "~/.xscreensaver as $home: no word of it: $(cat "$X11_TMP/err")"
    x11_not_desktop 320x240+0+0 || x11_fail "~/.xscreensaver as $home: no rain drawn"
done

# Raining, then the server stops answering: SIGTERM still ends it.
step "the server stopped while misto rains"
"$MISTO" --window-id "$ROOT_ID" "${RAIN[@]}" 2>"$X11_TMP/err" &
pid=$!
x11_started $pid
poll_until 60 sigterm_held $pid || x11_fail "misto never took SIGTERM in hand"
poll_until 60 x11_not_desktop 320x240+0+0 || x11_fail "no rain before the server stopped"
[ -n "$(x11_segments_of $pid)" ] || x11_fail "no shared memory in use while raining"
kill -STOP "$PRIVATE_XVFB_PID"
ends_within_two_seconds $pid || {
    kill -CONT "$PRIVATE_XVFB_PID"
    x11_fail "misto still ran 2 s after SIGTERM with the server stopped"
}
kill -CONT "$PRIVATE_XVFB_PID"
# The server lets go of the segment once it sees the client gone.
poll_until 30 test -z "$(x11_segments_of $pid)" ||
    x11_fail "shared memory left: $(x11_segments_of $pid)"

# Still connecting to a stopped server: the same.
step "the server stopped while misto connects"
kill -STOP "$PRIVATE_XVFB_PID"
"$MISTO" --window-id "$ROOT_ID" "${RAIN[@]}" 2>"$X11_TMP/err" &
pid=$!
x11_started $pid
if ! poll_until 60 sigterm_held $pid || ! ends_within_two_seconds $pid; then
    kill -CONT "$PRIVATE_XVFB_PID"
    x11_fail "misto still ran 2 s after SIGTERM while connecting to a stopped server"
fi
kill -CONT "$PRIVATE_XVFB_PID"
grep -q "leaving at once" "$X11_TMP/err" || x11_fail "no word of leaving: $(cat "$X11_TMP/err")"

echo "all passed"
