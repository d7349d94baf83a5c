#!/usr/bin/env bash
# Builds the Windows programs, their packages and their tests (windows.sh
# --with-tests) and runs every test under wine: the unit and widget tests,
# the programs' checks, and in Xvfb the end-to-end test of the real window,
# the installer's checks and the report's CSV against the Linux build's.
#   QA_TUTOR_WINDOWS_BUILD  build folder (default build-windows/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_WINDOWS_BUILD:-$root/build-windows}"

bash "$root/scripts/windows.sh" --with-tests
ctest --test-dir "$build" --output-on-failure --parallel 2 --timeout 600
