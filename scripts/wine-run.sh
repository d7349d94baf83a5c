#!/usr/bin/env bash
# Runs a Windows program under wine in a prefix of its own, made on first use,
# and exits with the program's status. The Windows build's tests run through
# this (it is their emulator).
#   wine-run.sh --prefix DIR PROGRAM [ARG...]
# As root, wine runs without root's right to write read-only files
# (scripts/unprivileged.sh).
set -euo pipefail
wine=/usr/lib/wine/wine64
unprivileged="$(dirname "${BASH_SOURCE[0]}")/unprivileged.sh"
if [[ "${1:-}" != --prefix || $# -lt 3 ]]; then
    echo "usage: wine-run.sh --prefix DIR PROGRAM [ARG...]" >&2
    exit 2
fi
home="$(realpath -m "$2")"
shift 2
command -v "$wine" >/dev/null || {
    echo "wine-run: $wine is missing (Debian: apt-get install wine64)" >&2
    exit 1
}

mkdir -p "$home"
# Wine refuses a prefix of another user's: one made by an earlier way of
# running it as root (as the user nobody) is made anew.
if [[ -e "$home/prefix" && ! -O "$home/prefix" ]]; then
    rm -rf "$home/prefix"
fi
run_wine() {
    # No Mono or Gecko: nothing here needs .NET or a web view. Wine keeps
    # every QT_ variable from the program; the widget tests take theirs as
    # arguments (--env).
    bash "$unprivileged" env HOME="$home" WINEPREFIX="$home/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" "$@"
}
# Two tests may start at once; the first makes the prefix, the other waits.
if [[ ! -f "$home/prefix/.made" ]]; then
    (
        flock 9
        if [[ ! -f "$home/prefix/.made" ]]; then
            run_wine wineboot --init >/dev/null 2>&1
            touch "$home/prefix/.made"
        fi
    ) 9>"$home/.lock"
fi
run_wine "$@"
