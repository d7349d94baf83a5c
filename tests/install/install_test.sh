#!/usr/bin/env bash
# Installs qa-tutor as a desktop program into a temporary prefix, validates its
# desktop entry and AppStream metadata, builds the Debian package, checks it
# with lintian and unpacks it into a temporary root, and checks the
# command-line answers.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

id=org.qatutor.QaTutor
report_id=org.qatutor.QaTutorReport
files=(bin/qa-tutor bin/qa-tutor-report share/applications/$id.desktop share/icons/hicolor/scalable/apps/$id.svg
       share/metainfo/$id.metainfo.xml bin/qa-tutor-report-window share/applications/$report_id.desktop)

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in "${files[@]}"; do
    check "installed $f" test -f "$work/prefix/$f"
done
check "desktop entry valid" desktop-file-validate "$work/prefix/share/applications/$id.desktop"
check "report window's desktop entry valid" desktop-file-validate \
    "$work/prefix/share/applications/$report_id.desktop"
check "AppStream metadata valid" appstreamcli validate --no-net --explain \
    "$work/prefix/share/metainfo/$id.metainfo.xml"

version_output() { [[ "$("$1" --version)" == "qa-tutor "[0-9]* ]]; }
help_output() { "$1" --help | grep -q "^Usage: qa-tutor"; }
help_names_folder() { [[ "$(HOME=/home/ann "$1" --help | tail -n 1)" == *": /home/ann/tutrdata" ]]; }
refuses() {
    local status=0 out
    out="$("$1" "$2" 2>"$work/err")" || status=$?
    [[ $status -eq 2 && -z "$out" ]] && grep -q "^Usage: qa-tutor" "$work/err"
}
bin="$work/prefix/bin/qa-tutor"
check "--version" version_output "$bin"
check "--help" help_output "$bin"
check "--help names the default folder" help_names_folder "$bin"
for arg in -x --verbose file.txt --help=1 ""; do
    check "refuses '$arg'" refuses "$bin" "$arg"
done

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
deb="$(ls "$work"/package/*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
for dependency in libqt6widgets6 libqt6core6 libc6 qt6-qpa-plugins; do
    check "package depends on $dependency" grep -q "$dependency" <<<"$depends"
done
check "package is named qa-tutor" test "$(dpkg-deb -f "$deb" Package)" = qa-tutor
dpkg -x "$deb" "$work/root"
for f in "${files[@]}"; do
    check "package holds /usr/$f" test -f "$work/root/usr/$f"
done
check "packaged program runs" version_output "$work/root/usr/bin/qa-tutor"
for page in qa-tutor qa-tutor-report qa-tutor-report-window; do
    check "package holds the manual page of $page" test -f "$work/root/usr/share/man/man1/$page.1.gz"
done
# Debian's own checker, at its default level: every error and warning fails.
lintian_accepts() {
    lintian --fail-on error,warning "$1" >"$work/lintian" 2>"$work/lintian-errors" &&
        [[ ! -s "$work/lintian" ]] || { cat "$work/lintian" "$work/lintian-errors"; false; }
}
check "lintian reports nothing on the package" lintian_accepts "$deb"

report_version() { [[ "$("$1" --version)" == "qa-tutor-report "[0-9]* ]]; }
check "report --version" report_version "$work/prefix/bin/qa-tutor-report"
check "packaged report runs" report_version "$work/root/usr/bin/qa-tutor-report"
window_version() { [[ "$("$1" --version)" == "qa-tutor-report-window "[0-9]* ]]; }
check "report window --version" window_version "$work/prefix/bin/qa-tutor-report-window"
check "packaged report window runs" window_version "$work/root/usr/bin/qa-tutor-report-window"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
