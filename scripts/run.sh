#!/usr/bin/env bash
# Installs what building and running need ([run] of debian-packages.txt), builds
# qa-tutor in build/release (the release preset: no tests or benchmarks, so
# their libraries need not be installed) and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
bash "$root/scripts/setup.sh" run

(cd "$root" && cmake --preset release >/dev/null &&
    cmake --build --preset release --target qa-tutor --parallel 2)

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "qa-tutor needs a graphical display, and none is available: run this command" \
        "from a desktop session, or set DISPLAY to a running X server (for example one" \
        "started with Xvfb)." >&2
    exit 1
fi
exec "$build/qa-tutor" "$@"
