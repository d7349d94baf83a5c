#!/usr/bin/env bash
# Installs what building and running need ([run] of debian-packages.txt), builds
# qa-tutor in build/ and starts it. Tests and benchmarks are configured off, so
# their libraries need not be installed; test.sh turns them on again.
#   QA_TUTOR_BUILD  build folder (default build/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_BUILD:-$root/build}"
bash "$root/scripts/setup.sh" run

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQA_TUTOR_WERROR=ON \
    -DBUILD_TESTING=OFF -DQA_TUTOR_BENCH=OFF -DQA_TUTOR_FUZZ=OFF
cmake --build "$build" --target qa-tutor --parallel 2

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "qa-tutor needs a graphical display, and none is available: run this command" \
        "from a desktop session, or set DISPLAY to a running X server (for example one" \
        "started with Xvfb)." >&2
    exit 1
fi
exec "$build/qa-tutor" "$@"
