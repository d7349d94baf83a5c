#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows (mingw-w64) from Debian's own source of
# the Qt that qt6-base-dev installed, once per machine, into a cache folder
# outside the clone, with the licence texts of Qt and of the code built into it
# in its folder licenses/, and prints that folder's path on standard output
# (progress goes to standard error). A second run with the same Qt version and
# options only prints the path.
#   QA_TUTOR_QT_CACHE  where the built Qt goes
#                      (default ${XDG_CACHE_HOME:-$HOME/.cache}/qa-tutor)
#   QA_TUTOR_QT_WORK   where Qt's source and build tree go (default in the cache)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${QA_TUTOR_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qa-tutor}"

fail() {
    echo "qt-windows: $*" >&2
    exit 1
}

version="$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null)" ||
    fail "qt6-base-dev is not installed (bash scripts/setup.sh installs it)"
upstream="${version#*:}"
upstream="${upstream%%+*}"
upstream="${upstream%%-*}"

# Only the modules the program and its tests use. Debian's source lacks the
# non-free wintab and iaccessible2 folders, hence no tablet events; with no
# OpenGL the dynamic GL loader must go too. Direct2D would be a second copy of
# the Windows platform plugin; without it Qt 6.4.2 leaves the DirectWrite 3
# font database out of QtGui that its Windows plugin still names, so that goes
# as well (the plugin's default fonts are GDI's).
options=(
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_fontconfig=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_offscreen=ON -DFEATURE_accessibility=ON
)
hash="$(printf '%s\n' "$version" "${options[@]}" "$(cat "$root/cmake/mingw-w64.cmake")" |
    sha256sum | cut -c1-12)"
prefix="$cache/qt-$upstream-mingw-static-$hash"
if [[ -f "$prefix/.complete" && -f "$prefix/licenses/LGPL-3.0-only.txt" ]]; then
    echo "$prefix"
    exit 0
fi

for tool in x86_64-w64-mingw32-g++-posix cmake ninja apt-get dpkg-source; do
    command -v "$tool" >/dev/null ||
        fail "$tool is missing (bash scripts/setup.sh installs what this needs)"
done

# One source and build tree a Qt version: new options rebuild what they change.
work="${QA_TUTOR_QT_WORK:-$cache/work-$upstream}"
mkdir -p "$work"

source "$root/scripts/debian-source.sh"
debian_source_apt "$work/apt"
source_dir="$work/qt6-base-$upstream"
if [[ ! -f "$source_dir/CMakeLists.txt" ]]; then
    echo "qt-windows: fetching Debian's source of qt6-base $version" >&2
    debian_source qt6-base "$version" "$work" "$source_dir"
fi

build="$work/build"
if [[ "$(cat "$build/qa-tutor-options" 2>/dev/null)" != "$hash" ]]; then
    rm -f "$build/CMakeCache.txt"
fi
started=$(date +%s)
echo "qt-windows: building Qt $upstream for Windows in $build (about 30 to 45 minutes on 2 cores, once)" >&2
cmake -S "$source_dir" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 ||
    fail "Qt's configuration failed (see $work/configure.log)"
echo "$hash" >"$build/qa-tutor-options"
# Ninja's own [n/N] lines show the progress.
cmake --build "$build" --parallel "$(nproc)" \
    > >(tee "$work/build.log" | awk '/^\[[0-9]+\/[0-9]+\]/ && ++n % 25 == 1 { print $1; fflush() }' >&2) 2>&1 ||
    fail "Qt's build failed (see $work/build.log)"
cmake --install "$build" >"$work/install.log" 2>&1 || fail "Qt's install failed (see $work/install.log)"
python3 "$root/scripts/qt-licenses.py" "$source_dir" "$prefix/licenses" ||
    fail "the licence texts of Qt could not be gathered"
touch "$prefix/.complete"
echo "qt-windows: Qt built in $((($(date +%s) - started) / 60)) minutes" >&2
echo "$prefix"
