#!/usr/bin/env bash
# The same checks as tests/e2e/test_saver_second_instance.sh, on the 32-bit saver users install.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
WH_PROGRAM_BITS=32 exec bash "$here/../e2e/test_saver_second_instance.sh" "$@"
