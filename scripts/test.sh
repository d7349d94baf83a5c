#!/usr/bin/env bash
# Builds qa-tutor (installing what it needs) and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure --parallel 2
