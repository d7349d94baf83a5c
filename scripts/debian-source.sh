# shellcheck shell=bash
# Fetches Debian source packages for the Windows builds (qt-windows.sh,
# windows-libs.sh source this; each defines fail() for its own messages).
# The source comes from the mirrors this machine's apt already uses, with
# apt's signature checks, through a private apt state so the system's is
# untouched.
#   debian_source_apt STATE_DIR       sets up the apt state in STATE_DIR
#   debian_source PACKAGE VERSION WORK DEST
#       fetches PACKAGE's source at VERSION into WORK/source (logs in WORK)
#       and unpacks it into DEST

debian_source_apt() {
    local state="$1" f
    mkdir -p "$state/lists/partial" "$state/cache" "$state/sources.list.d"
    : >"$state/sources.list"
    shopt -s nullglob
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [[ -f "$f" ]] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$state/sources.list"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
        sed 's/^Types:.*/Types: deb-src/' "$f" >"$state/sources.list.d/$(basename "$f")"
    done
    shopt -u nullglob
    apt_options=(-o "Dir::Etc::SourceList=$state/sources.list"
        -o "Dir::Etc::SourceParts=$state/sources.list.d"
        -o "Dir::State::Lists=$state/lists" -o "Dir::Cache=$state/cache"
        -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
    if [[ -z "$(cat "$state/sources.list" "$state"/sources.list.d/* 2>/dev/null)" ]]; then
        fail "no Debian mirror found in /etc/apt/sources.list or /etc/apt/sources.list.d"
    fi
    apt_lists_fresh=0
}

debian_source() {
    local package="$1" version="$2" work="$3" dest="$4" dsc
    mkdir -p "$work"
    # The lists are fetched once a run, however many packages it fetches.
    if ((apt_lists_fresh == 0)); then
        apt-get -q "${apt_options[@]}" update >"$work/apt-update.log" 2>&1 ||
            fail "the package lists could not be fetched from the mirror (see $work/apt-update.log)"
        apt_lists_fresh=1
    fi
    rm -rf "$work/source"
    mkdir -p "$work/source"
    (cd "$work/source" && apt-get -q "${apt_options[@]}" source --download-only "$package=$version") \
        >"$work/apt-source.log" 2>&1 ||
        fail "the source of $package $version could not be fetched (see $work/apt-source.log)"
    rm -rf "$dest"
    dsc=("$work/source/${package}_"*.dsc)
    # apt checked the files against the signed index; the .dsc's own signature
    # would need the Debian keyring.
    dpkg-source --no-check -x "${dsc[0]}" "$dest" >"$work/dpkg-source.log" 2>&1 ||
        fail "the source of $package could not be unpacked (see $work/dpkg-source.log)"
}
