#!/usr/bin/env bash
# Makes the Windows programs and their packages on Debian: Qt for Windows and
# the report's libraries (built once per machine by qt-windows.sh and
# windows-libs.sh), then qa-tutor.exe and
# qa-tutor-report.exe cross-built with mingw-w64 in build/windows (the windows
# preset), and with
# CPack the installer qa-tutor-VERSION-win64.exe, the portable
# qa-tutor-VERSION-win64.zip and the source qa-tutor-VERSION-source.zip there.
#   windows.sh [--with-tests]   with --with-tests the tests are built as well
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"
testing=OFF
if [[ "${1:-}" == --with-tests ]]; then
    testing=ON
elif [[ $# -gt 0 ]]; then
    echo "usage: windows.sh [--with-tests]" >&2
    exit 2
fi

bash "$root/scripts/setup.sh" run windows
for tool in x86_64-w64-mingw32-g++-posix cmake ninja makensis rsvg-convert convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "windows: $tool is missing (bash scripts/setup.sh installs it)" >&2
        exit 1
    fi
done

qt="$(bash "$root/scripts/qt-windows.sh")"
libs="$(bash "$root/scripts/windows-libs.sh")"
prefixes="$qt;$libs"

# Another Qt or libraries (a new version, or new options, the toolchain
# file's among them) start a new configuration: CMake keeps where it found
# them, and applies the toolchain's flags only to a new one.
if [[ "$(cat "$build/qa-tutor-prefixes" 2>/dev/null)" != "$prefixes" ]]; then
    rm -f "$build/CMakeCache.txt"
fi
# The preset compiles each library a few files at a time, in half the time
# (the Linux build compiles each file of the smaller libraries alone, so a
# missing include still shows there).
started=$(date +%s)
cd "$root"
QA_TUTOR_WINDOWS_PREFIXES="$prefixes" cmake --preset windows -DBUILD_TESTING=$testing >/dev/null
echo "$prefixes" >"$build/qa-tutor-prefixes"
cmake --build --preset windows --parallel 2
(cd "$build" && cpack -G "NSIS;ZIP" >/dev/null && cpack --config CPackSourceConfig.cmake >/dev/null)
echo "windows: built in $(($(date +%s) - started)) s:"
ls -1 "$build"/qa-tutor-*-win64.exe "$build"/qa-tutor-*-win64.zip "$build"/qa-tutor-*-source.zip
