#!/usr/bin/env bash
# The same checks as tests/e2e/test_installer.sh, on the 32-bit installer users run: its copy
# and its uninstall entry land in the 32-bit system directory and registry view.
here=$(cd "$(dirname "$0")" && pwd)
"$here/../../scripts/i386-binfmt" on || exit 77
WH_PROGRAM_BITS=32 exec bash "$here/../e2e/test_installer.sh" "$@"
