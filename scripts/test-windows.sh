#!/usr/bin/env bash
# Builds the Windows programs, their packages and their tests (windows.sh
# --with-tests) and runs every test under wine: the unit and widget tests,
# the programs' checks, and in Xvfb the end-to-end test of the real window,
# the installer's checks and the report's CSV against the Linux build's.
# They compare the report with the Linux build's, build/dev (test.sh makes it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$root/scripts/windows.sh" --with-tests
cd "$root" && ctest --preset windows
