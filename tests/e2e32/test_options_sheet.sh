#!/usr/bin/env bash
# The Options sheet of the 32-bit saver: the sheet and page descriptions, the trackbars and the
# wind control are where the 32-bit structure layouts matter.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
WH_PROGRAM_BITS=32 exec bash "$here/../e2e/test_options_sheet.sh" "$@"
