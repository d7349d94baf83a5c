#!/usr/bin/env bash
# Builds the unit and widget tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/asan (the asan preset) and runs them
# there; the tests of the programs from outside (end-to-end, crash, install,
# durability) run on the normal build only.
#
# The preset keeps line tables only, enough for the sanitizers' reports; runs
# each test program once, as a start of one takes a fifth of a second here;
# and compiles each library a few files at a time (the normal build compiles
# each file of the smaller libraries alone, so a missing include still shows
# there).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset asan >/dev/null
cmake --build --preset asan --parallel 2
ctest --preset asan
