#!/usr/bin/env bash
# Builds the libraries of qa-tutor-report for 64-bit Windows (mingw-w64),
# static, from Debian's own source of the versions zlib1g-dev, libzip-dev and
# libxlsxwriter-dev installed (with the changes of scripts/patches/), once per
# machine, into one cache folder outside the clone, for CMAKE_PREFIX_PATH
# beside Qt's, with their licence texts in its folder licenses/, and prints that
# folder's path on standard output (progress goes to standard error). A second
# run with the same versions and options only prints the path.
#   QA_TUTOR_LIBS_CACHE  where the built libraries go
#                        (default ${XDG_CACHE_HOME:-$HOME/.cache}/qa-tutor)
#   QA_TUTOR_LIBS_WORK   where their source and build trees go (default in the cache)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cache="${QA_TUTOR_LIBS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qa-tutor}"

fail() {
    echo "windows-libs: $*" >&2
    exit 1
}

# In build order: libzip and libxlsxwriter link the zlib built first.
libraries=(zlib libzip libxlsxwriter)
declare -A dev=([zlib]=zlib1g-dev [libzip]=libzip-dev [libxlsxwriter]=libxlsxwriter-dev)
declare -A version
for lib in "${libraries[@]}"; do
    version[$lib]="$(dpkg-query -W -f='${source:Version}' "${dev[$lib]}" 2>/dev/null)" ||
        fail "${dev[$lib]} is not installed (bash scripts/setup.sh installs it)"
done

# Only zlib: libzip's AES goes through Windows' own cryptography (bcrypt), as
# Debian's goes through OpenSSL; this libzip has no zstd to leave out.
# libxlsxwriter keeps its own minizip, MD5 and tmpfileplus (Debian links the
# system's minizip and OpenSSL's MD5 instead); its USE_STATIC_MSVC_RUNTIME is
# for MSVC only, and for MinGW a static build links its runtime statically.
common=(-DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release)
zlib_options=(-DSKIP_INSTALL_LIBRARIES=ON -DSKIP_INSTALL_FILES=ON)
libzip_options=(
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF
    -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=ON
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
)
libxlsxwriter_options=(
    -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF
    -DUSE_STANDARD_TMPFILE=OFF -DUSE_OPENSSL_MD5=OFF -DUSE_NO_MD5=OFF -DUSE_DTOA_LIBRARY=OFF
)
shopt -s nullglob
patches=("$root"/scripts/patches/*.patch)
shopt -u nullglob
hash="$(for lib in "${libraries[@]}"; do echo "$lib ${version[$lib]}"; done |
    cat - <(printf '%s\n' "${common[@]}" "${zlib_options[@]}" "${libzip_options[@]}" \
        "${libxlsxwriter_options[@]}") "$root/cmake/mingw-w64.cmake" "${patches[@]}" |
    sha256sum | cut -c1-12)"
prefix="$cache/windows-libs-$hash"
if [[ -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
fi

for tool in x86_64-w64-mingw32-gcc-posix cmake ninja apt-get dpkg-source patch; do
    command -v "$tool" >/dev/null ||
        fail "$tool is missing (bash scripts/setup.sh installs what this needs)"
done
licences=/usr/share/common-licenses
[[ -f "$licences/MPL-2.0" ]] || fail "no licence text $licences/MPL-2.0 (Debian's base-files has it)"

work="${QA_TUTOR_LIBS_WORK:-$cache/work-windows-libs}"
mkdir -p "$work"
source "$root/scripts/debian-source.sh"
debian_source_apt "$work/apt"

# One library: a fresh source and build tree each time, as they take seconds,
# with the changes of scripts/patches/LIBRARY-*.patch.
build_library() {
    local lib="$1" source_dir="$work/$1/$1" build="$work/$1/build" f
    local -n extra="${lib}_options"
    local options=("${common[@]}" "${extra[@]}") target=()
    echo "windows-libs: building $lib ${version[$lib]} for Windows" >&2
    debian_source "$lib" "${version[$lib]}" "$work/$lib" "$source_dir"
    for f in "${patches[@]}"; do
        [[ "$(basename "$f")" == "$lib"-* ]] || continue
        patch -d "$source_dir" -p1 <"$f" >"$work/$lib/patch.log" 2>&1 ||
            fail "$(basename "$f") does not apply to $lib ${version[$lib]} (see $work/$lib/patch.log)"
    done
    rm -rf "$build"
    if [[ "$lib" == zlib ]]; then
        # zlib's CMake always makes a DLL too: only the static library is
        # built, and installed under the name every build looks for (-lz).
        target=(--target zlibstatic)
    else
        # Named in full: the toolchain finds libraries under mingw-w64's own
        # folder only.
        options+=(-DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a")
    fi
    cmake -S "$source_dir" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/$lib/configure.log" 2>&1 ||
        fail "$lib's configuration failed (see $work/$lib/configure.log)"
    cmake --build "$build" --parallel "$(nproc)" "${target[@]}" >"$work/$lib/build.log" 2>&1 ||
        fail "$lib's build failed (see $work/$lib/build.log)"
    cmake --install "$build" >"$work/$lib/install.log" 2>&1 ||
        fail "$lib's install failed (see $work/$lib/install.log)"
    if [[ "$lib" == zlib ]]; then
        install -D -m 644 "$build/libzlibstatic.a" "$prefix/lib/libz.a"
    fi

    for f in LICENSE License.txt; do
        if [[ -f "$source_dir/$f" ]]; then
            cp "$source_dir/$f" "$prefix/licenses/$lib-LICENSE.txt"
        fi
    done
    [[ -f "$prefix/licenses/$lib-LICENSE.txt" ]] || fail "no licence file in $source_dir"
    cp "$source_dir/debian/copyright" "$prefix/licenses/$lib-debian-copyright.txt"
}

started=$(date +%s)
rm -rf "$prefix"
mkdir -p "$prefix/licenses"
for lib in "${libraries[@]}"; do
    build_library "$lib"
done
# libxlsxwriter's tmpfileplus is under the MPL 2.0, whose text its licence
# only points to.
cp "$licences/MPL-2.0" "$prefix/licenses/MPL-2.0.txt"
touch "$prefix/.complete"
echo "windows-libs: built in $(($(date +%s) - started)) s" >&2
echo "$prefix"
