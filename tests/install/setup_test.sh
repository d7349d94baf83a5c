#!/usr/bin/env bash
# Checks which Debian packages each command asks for, with dpkg-query, apt-get
# and sudo replaced by stand-ins (every package missing), and that the run
# command's preset configures a folder configured before with tests on, with
# neither GoogleTest nor Google Benchmark to be found.
# Usage: setup_test.sh SOURCE_DIR
set -euo pipefail
root="$(cd "$1" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

real_cmake="$(command -v cmake)"
fake="$work/bin"
mkdir -p "$fake"
# Asked for every package (no name given), only PROVIDED is installed, and
# provides its names.
cat >"$fake/dpkg-query" <<'STANDIN'
#!/bin/sh
if [ $# -eq 2 ]; then
    [ -n "$PROVIDED" ] && printf 'install ok installed|%s\n' "$PROVIDED"
    exit 0
fi
[ -n "$ALL_INSTALLED" ] && printf 'install ok installed'
STANDIN
cat >"$fake/apt-get" <<STANDIN
#!/bin/sh
echo "\$*" >>"$work/apt"
STANDIN
cat >"$fake/sudo" <<'STANDIN'
#!/bin/sh
exec "$@"
STANDIN
# Builds are only noted; every configure finds neither library, in a scratch
# folder rather than the preset's own.
cat >"$fake/cmake" <<STANDIN
#!/bin/sh
if [ "\$1" = --build ]; then echo "\$*" >>"$work/builds"; exit 0; fi
exec "$real_cmake" "\$@" -B "$work/build" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \\
    -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
STANDIN
chmod +x "$fake"/*

# setup.sh GROUP... with every package missing installs exactly EXPECTED.
installs() {
    local expected="$1"
    shift
    rm -f "$work/apt"
    PATH="$fake:$PATH" ALL_INSTALLED='' bash "$root/scripts/setup.sh" "$@" >/dev/null &&
        [[ "$(grep '^install' "$work/apt")" == "install -y -q $expected" ]]
}
run="build-essential cmake ninja-build qt6-base-dev qt6-qpa-plugins libgl-dev libzip-dev libxlsxwriter-dev"
test="libgtest-dev libgmock-dev python3 xvfb xdotool imagemagick dbus-daemon at-spi2-core"
test+=" python3-pyatspi chromium nodejs npm clang libclang-rt-14-dev desktop-file-utils appstream"
windows="dpkg-dev g++-mingw-w64-x86-64 googletest librsvg2-bin imagemagick nsis wine64 fonts-wine"
windows+=" fonts-dejavu-core evilwm"
windows+=" xclip icoutils unzip"
check "run command's group" installs "$run" run
check "bench command's groups" installs "$run libbenchmark-dev" run bench
# A package of two groups (dpkg-dev, imagemagick) is asked for once.
every_windows="${windows/dpkg-dev /}"
check "test command's groups" installs \
    "$run $test file dpkg-dev lintian ${every_windows/imagemagick /} libbenchmark-dev" \
    run test package windows bench
check "no group given: every group" installs \
    "$run $test file dpkg-dev lintian ${every_windows/imagemagick /} libbenchmark-dev libreoffice-calc-nogui ghostscript"
check "package group" installs "file dpkg-dev lintian" package
# A name an installed package provides is not asked for, as apt would refuse
# it: NodeSource's nodejs provides npm and conflicts with Debian's.
PROVIDED="nodejs-dev, nodejs-doc (= 20.1), npm" check "a package provided is installed" \
    installs "${test/ npm/}" test
check "windows command's groups" installs "$run $windows" run windows

# setup.sh ARGUMENT... installs nothing, ALL_INSTALLED or not.
installs_nothing() {
    local all="$1"
    shift
    rm -f "$work/apt"
    PATH="$fake:$PATH" ALL_INSTALLED="$all" bash "$root/scripts/setup.sh" "$@" >"$work/out" 2>&1
    [[ ! -e "$work/apt" ]]
}
refuses_group() {
    local status=0
    bash "$root/scripts/setup.sh" --list "$1" 2>/dev/null || status=$?
    [[ $status -eq 2 ]]
}
check "all installed: no apt-get" installs_nothing 1 run
check "--list installs nothing" installs_nothing "" --list run bench
check "--list names each package" test "$(grep -c ' missing$' "$work/out")" -eq 9
check "unknown group refused" refuses_group tests

"$real_cmake" -S "$root" -B "$work/build" -G Ninja -DBUILD_TESTING=ON -DQA_TUTOR_BENCH=ON >/dev/null
rm -f "$work/apt"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM PATH="$fake:$PATH" ALL_INSTALLED='' \
    bash "$root/scripts/run.sh" >"$work/run.out" 2>&1 || status=$?
check "run command installs only its group" \
    test "$(grep '^install' "$work/apt")" = "install -y -q $run"
check "run command configures without the test libraries" grep -q "needs a graphical display" "$work/run.out"
check "run command builds only the program" grep -qs -- "--target qa-tutor" "$work/builds"
check "run command turns tests off" grep -q "^BUILD_TESTING:BOOL=OFF" "$work/build/CMakeCache.txt"
check "run command ends for want of a display" test "$status" -eq 1

echo "$passed passed, $failed failed"
((failed)) && cat "$work/run.out"
[[ $failed -eq 0 ]]
