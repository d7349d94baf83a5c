#!/usr/bin/env bash
# Builds qa-tutor (installing what it needs) and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "qa-tutor needs a graphical display, and none is available: run this command" \
        "from a desktop session, or set DISPLAY to a running X server (for example one" \
        "started with Xvfb)." >&2
    exit 1
fi
exec "$root/build/qa-tutor" "$@"
