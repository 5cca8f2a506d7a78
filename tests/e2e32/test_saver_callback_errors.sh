#!/usr/bin/env bash
# The report boxes of errors inside a frame, from the 32-bit saver: its unwinder cannot pass the
# system's frames, so this is where the error boundaries matter most.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
WH_PROGRAM_BITS=32 exec bash "$here/../e2e/test_saver_callback_errors.sh" "$@"
