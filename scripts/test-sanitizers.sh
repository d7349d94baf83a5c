#!/usr/bin/env bash
# Builds the unit and widget tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs them there; the tests of
# the programs from outside (end-to-end, crash, install, durability) run on
# the normal build only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_ASAN_BUILD:-$root/build-asan}"

# Line tables are enough for the sanitizers' reports; each test program runs
# once, as a start of one takes a fifth of a second here; each library is
# compiled a few files at a time (the normal build compiles each file of the
# smaller libraries alone, so a missing include still shows there).
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DQA_TUTOR_SANITIZE=ON -DQA_TUTOR_WERROR=ON -DQA_TUTOR_BENCH=OFF \
    -DQA_TUTOR_TESTS_PER_PROGRAM=ON -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build "$build" --parallel 2

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure --parallel 2 --timeout 300
