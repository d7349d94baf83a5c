#!/usr/bin/env bash
# Installs every package of debian-packages.txt that is missing, builds qa-tutor
# in build/ with tests and benchmarks on, and runs every test: the fuzz
# targets for a short bounded time, the unit and widget tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the Qt-free parts built for
# Windows under wine, then all tests of the normal build: unit, widget,
# end-to-end in Xvfb and the crash test.
#   QA_TUTOR_BUILD  build folder of the normal build (default build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_BUILD:-$root/build}"
bash "$root/scripts/setup.sh"

# Every option is given, since run.sh and bench.sh configure the same folder.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQA_TUTOR_WERROR=ON \
    -DBUILD_TESTING=ON -DQA_TUTOR_BENCH=ON -DQA_TUTOR_FUZZ=OFF
cmake --build "$build" --parallel 2

bash "$root/scripts/test-fuzz.sh"
bash "$root/scripts/test-sanitizers.sh"
bash "$root/scripts/test-windows.sh"

export QT_QPA_PLATFORM=offscreen
# A test that hangs (a thread waiting for ever) fails after five minutes.
ctest --test-dir "$build" --output-on-failure --parallel 2 --timeout 300
