#!/usr/bin/env bash
# Installs the missing Debian packages of debian-packages.txt, then configures
# and builds qa-tutor in build/. Sourced by run.sh and test.sh.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done <"$root/debian-packages.txt"

if ((${#missing[@]})); then
    echo "Installing Debian packages: ${missing[*]}"
    as_root=()
    if [[ "$(id -u)" -ne 0 ]]; then
        as_root=(sudo)
    fi
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQA_TUTOR_WERROR=ON
cmake --build "$root/build" --parallel 2
