#!/usr/bin/env bash
# Installs every package of debian-packages.txt that is missing, builds qa-tutor
# in build/dev with tests and the benchmarks' baselines on (the dev preset of
# CMakePresets.json, as every build here has its preset), and runs every
# test: the fuzz
# targets for a short bounded time, the unit and widget tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows programs,
# packages and tests (Qt for Windows and the report's libraries built once
# per machine), and last all tests of the normal build (unit, widget,
# end-to-end in Xvfb and the report's page in Chromium, the crash test) beside
# the Windows tests under wine.
# Prints each step's time at the end.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash "$root/scripts/setup.sh" run test package windows bench
# The page check's npm packages, as its lock file pins them.
(cd "$root/tests/page" && npm ci --no-audit --no-fund)

started=$SECONDS
# Each step's time, for the summary at the end.
times=()
step() {
    local name="$1" began=$SECONDS
    shift
    "$@"
    times+=("$(printf '%-28s %4d s' "$name" $((SECONDS - began)))")
}

step "Linux build" cmake --preset dev
step "Linux build" cmake --build --preset dev --parallel 2

step "fuzzing" bash "$root/scripts/test-fuzz.sh"
step "sanitizers" bash "$root/scripts/test-sanitizers.sh"
# Wine makes its prefix in tens of seconds of mostly waiting, which the first
# test to start would spend: it is made while the Windows programs build.
bash "$root/scripts/wine-run.sh" --prefix "$root/build/windows/wine" cmd /c exit >/dev/null 2>&1 &
wine_prefix=$!
step "Windows build" bash "$root/scripts/windows.sh" --with-tests
wait "$wine_prefix" || true

# The Windows tests (test-windows.sh's) wait on wine and the X server more than
# they compute: they run beside the Linux ones, their output after them.
windows_log="$(mktemp)"
(ctest --preset windows >"$windows_log" 2>&1 && echo passed >>"$windows_log") &
windows_tests=$!

# A test that hangs (a thread waiting for ever) fails after five minutes.
linux_status=0
step "Linux and Windows tests" ctest --preset dev || linux_status=$?
wait "$windows_tests" || true
echo "Windows tests under wine:"
cat "$windows_log"
windows_passed=$(tail -n 1 "$windows_log")
rm -f "$windows_log"
if ((linux_status != 0)) || [[ "$windows_passed" != passed ]]; then
    echo "test.sh: tests failed (Linux status $linux_status, Windows ${windows_passed:-failed})" >&2
    exit 1
fi

printf '%s\n' "${times[@]}"
echo "test.sh: every test passed in $((SECONDS - started)) s"
