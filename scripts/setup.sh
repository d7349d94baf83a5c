#!/usr/bin/env bash
# Installs the missing Debian packages of the given groups of
# debian-packages.txt: run, test, package, windows, bench (every group if none
# is given).
#   setup.sh [--list] [GROUP...]
# With --list it only prints each package of those groups and whether it is
# installed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
list_file="$root/debian-packages.txt"

list_only=0
if [[ "${1:-}" == --list ]]; then
    list_only=1
    shift
fi

known=()
while read -r line; do
    [[ "$line" =~ ^\[([a-z]+)\]$ ]] && known+=("${BASH_REMATCH[1]}")
done <"$list_file"

wanted=("$@")
if ((${#wanted[@]} == 0)); then
    wanted=("${known[@]}")
fi
for group in "${wanted[@]}"; do
    if [[ " ${known[*]} " != *" $group "* ]]; then
        echo "setup: no group [$group] in $list_file (groups: ${known[*]})" >&2
        exit 2
    fi
done

# The names the installed packages provide, which apt takes as installed too
# (NodeSource's nodejs provides npm, and conflicts with Debian's).
provided=" $({ dpkg-query -W -f='${Status}|${Provides}\n' 2>/dev/null || true; } |
    sed -n 's/^install ok installed|//p' | tr ',' '\n' | sed 's/ *(.*)//; s/^ *//' | tr '\n' ' ') "
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" ||
        [[ "$provided" == *" $1 "* ]]
}

group=""
missing=()
while read -r line; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    if [[ "$line" =~ ^\[([a-z]+)\]$ ]]; then
        group="${BASH_REMATCH[1]}"
        continue
    fi
    if [[ -z "$group" ]]; then
        echo "setup: $line in $list_file belongs to no group" >&2
        exit 2
    fi
    [[ " ${wanted[*]} " == *" $group "* ]] || continue
    # A package two groups need is asked for once.
    [[ " ${missing[*]} " == *" $line "* ]] && continue
    if installed "$line"; then
        ((list_only)) && printf '%-8s %-22s installed\n' "$group" "$line"
    else
        ((list_only)) && printf '%-8s %-22s missing\n' "$group" "$line"
        missing+=("$line")
    fi
done <"$list_file"

if ((list_only || ${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing Debian packages: ${missing[*]}"
as_root=()
if [[ "$(id -u)" -ne 0 ]]; then
    as_root=(sudo)
fi
"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
