#!/usr/bin/env bash
# The 32-bit misto-render.exe makes the native program's frames byte for byte.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
exec bash "$here/../e2e/test_render_matches_native.sh" "$@"
