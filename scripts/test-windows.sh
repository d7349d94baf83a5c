#!/usr/bin/env bash
# Cross-builds the parts of qa-tutor that need no Qt for Windows with
# mingw-w64 (tests/windows/) in build-windows/ and runs their tests under wine;
# checks that the report's sources compile for Windows.
#   QA_TUTOR_WINDOWS_BUILD  build folder (default build-windows/)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_WINDOWS_BUILD:-$root/build-windows}"
wine=/usr/lib/wine/wine64

for tool in x86_64-w64-mingw32-g++-posix "$wine" cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "test-windows: $tool is missing (Debian: apt-get install g++-mingw-w64-x86-64 wine64 googletest cmake ninja-build)" >&2
        exit 1
    fi
done

cmake -S "$root/tests/windows" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build" --parallel 2

# There is no Qt for Windows here. The sources of qa-tutor-report and the
# window's Windows file are compiled for Windows against Debian's Qt headers,
# without making code, so a system call Windows lacks fails the run.
qt=/usr/include/x86_64-linux-gnu/qt6
printf '%s\n' "$root"/src/report/*.cpp "$root"/src/app/system_windows.cpp "$root"/src/app/main.cpp |
    grep -v '_posix\.cpp$' |
    xargs -P 2 -n 4 x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror \
        -I"$root/src" -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" \
        -isystem "$qt/QtWidgets"

# A prefix of its own, so no earlier wine set-up changes the run; no Mono or
# Gecko, which a console program does not need. Wine grants root every file
# whatever its read-only mark, so as root the tests run as nobody.
as_user=()
if [[ "$(id -u)" -eq 0 ]] && runuser -u nobody -- test -r "$build/windows_core_tests.exe"; then
    as_user=(runuser -u nobody --)
fi
prefix="$build/wine"
if [[ ! -d "$prefix" ]]; then
    mkdir -p "$prefix"
    ((${#as_user[@]} == 0)) || chown nobody: "$prefix"
fi
run_wine() {
    "${as_user[@]}" env HOME="$prefix" WINEPREFIX="$prefix/prefix" WINEDEBUG=-all \
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" "$@"
}
if [[ ! -f "$prefix/prefix/system.reg" ]]; then
    run_wine wineboot --init >/dev/null 2>&1
fi
run_wine "$build/windows_core_tests.exe" --gtest_brief=1
