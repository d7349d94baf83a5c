#!/usr/bin/env bash
# Builds qa-tutor (installing what it needs) and runs every test: the fuzz
# targets for a short bounded time, the unit and widget tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then all tests of the
# normal build: unit, widget, end-to-end in Xvfb and the crash test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"

bash "$root/scripts/test-fuzz.sh"
bash "$root/scripts/test-sanitizers.sh"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure --parallel 2
