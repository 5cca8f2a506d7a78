#!/usr/bin/env bash
# The same checks as tests/e2e/test_uninstall.sh, for the 32-bit installation: the registered
# command is started the way a 64-bit system starts it.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
WH_PROGRAM_BITS=32 exec bash "$here/../e2e/test_uninstall.sh" "$@"
