#!/usr/bin/env bash
# Checks what the Windows programs are made of and what their packages hold:
# each one .exe that imports only Windows' own DLLs, the window programs
# without a console and the report with one, each with its icon, version and
# manifest; the installer, the portable ZIP and the source ZIP beside them.
# Usage: programs_test.sh QA_TUTOR_EXE QA_TUTOR_REPORT_EXE VERSION REPORT_WINDOW_EXE
set -euo pipefail
gui="$1"
console="$2"
version="$3"
report_window="$4"
build="$(dirname "$gui")"
source "$(dirname "${BASH_SOURCE[0]}")/../install/checks.sh"
objdump=x86_64-w64-mingw32-objdump

# DLLs every Windows 10 and 11 has.
system_dlls="advapi32 authz comdlg32 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
    netapi32 ole32 oleaut32 setupapi shcore shell32 shlwapi user32 userenv uxtheme version
    winmm ws2_32 wtsapi32 rpcrt4 uiautomationcore mpr crypt32 bcrypt d2d1 dcomp"

imports() { "$objdump" -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'; }
only_system_dlls() {
    local dll
    for dll in $(imports "$1"); do
        [[ "$dll" == api-ms-win-* || " $(echo $system_dlls) " == *" ${dll%.dll} "* ]] || {
            echo "  $1 imports $dll"
            return 1
        }
    done
}
# Each output is read whole: grep -q would end the pipe early.
has_line() { grep -x -- "$1" >/dev/null; }
subsystem() { "$objdump" -p "$1" | grep "^Subsystem.*($2)" >/dev/null; }
is_64_bit() { "$objdump" -f "$1" | grep "file format pei-x86-64" >/dev/null; }
# A resource of the type: 14 an icon group, 16 the version, 24 the manifest.
resource() { wrestool -x --raw -t "$2" "$1" 2>/dev/null; }
has_icon() { (($(resource "$1" 14 | wc -c) > 0)); }
# The version's texts are UTF-16: read with every other byte dropped.
has_version() { resource "$1" 16 | tr -d '\0' | grep "ProductVersion$version" >/dev/null; }
manifest_says() { resource "$1" 24 | grep -- "$2" >/dev/null; }

for exe in "$gui" "$console" "$report_window"; do
    name="$(basename "$exe")"
    check "$name is a 64-bit Windows program" is_64_bit "$exe"
    check "$name imports only Windows' own DLLs" only_system_dlls "$exe"
    check "$name has its icon" has_icon "$exe"
    check "$name has its version" has_version "$exe"
    check "$name asks for no administrator rights" manifest_says "$exe" 'level="asInvoker"'
done
check "qa-tutor.exe opens no console" subsystem "$gui" "Windows GUI"
check "qa-tutor-report.exe is a console program" subsystem "$console" "Windows CUI"
check "qa-tutor.exe is sharp on every screen's scale" manifest_says "$gui" PerMonitorV2
check "qa-tutor-report-window.exe opens no console" subsystem "$report_window" "Windows GUI"
check "qa-tutor-report-window.exe is sharp on every screen's scale" manifest_says \
    "$report_window" PerMonitorV2

wine_run="$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-run.sh"
answers_version() { [[ "$(bash "$wine_run" --prefix "$build/wine" "$1" --version)" == "$2 $version"* ]]; }
check "qa-tutor.exe --version under wine" answers_version "$gui" qa-tutor
check "qa-tutor-report.exe --version under wine" answers_version "$console" qa-tutor-report
check "qa-tutor-report-window.exe --version under wine" answers_version "$report_window" \
    qa-tutor-report-window
window_help() { bash "$wine_run" --prefix "$build/wine" "$1" --help | grep '^Usage: qa-tutor-report-window ' >/dev/null; }
check "qa-tutor-report-window.exe --help under wine" window_help "$report_window"
help_names_folder() { bash "$wine_run" --prefix "$build/wine" "$gui" --help | grep ': c:\\tutrdata' >/dev/null; }
check "qa-tutor.exe --help names c:\\tutrdata" help_names_folder

zip_holds() { unzip -Z1 "$1" | has_line "$2"; }
zip_has_no_dll() { ! unzip -Z1 "$1" | grep -i '\.dll$' >/dev/null; }
zip="$build/qa-tutor-$version-win64.zip"
top="qa-tutor-$version-win64"
for f in qa-tutor.exe qa-tutor-report.exe qa-tutor-report-window.exe README.txt licenses/LGPL-3.0-only.txt \
    licenses/GPL-3.0-only.txt licenses/THIRD-PARTY-NOTICES.txt licenses/zlib-LICENSE.txt \
    licenses/libzip-LICENSE.txt licenses/libxlsxwriter-LICENSE.txt \
    licenses/libxlsxwriter-debian-copyright.txt licenses/MPL-2.0.txt; do
    check "the ZIP holds $f" zip_holds "$zip" "$top/$f"
done
check "the ZIP holds no DLL" zip_has_no_dll "$zip"
readme_names_the_report_window() { unzip -p "$1" "$top/README.txt" | grep '"qa-tutor report" in the Start menu' >/dev/null; }
check "the ZIP's README names the report window" readme_names_the_report_window "$zip"
installer="$build/qa-tutor-$version-win64.exe"
check "the installer is a 64-bit Windows program" is_64_bit "$installer"
check "the installer asks for no administrator rights" manifest_says "$installer" 'level="asInvoker"'
source_zip="$build/qa-tutor-$version-source.zip"
check "the source ZIP holds the program's source" zip_holds "$source_zip" \
    "qa-tutor-$version-source/src/app/main.cpp"
check "the source ZIP holds the script that builds Qt" zip_holds "$source_zip" \
    "qa-tutor-$version-source/scripts/qt-windows.sh"
check "the source ZIP holds the script that builds the report's libraries" zip_holds \
    "$source_zip" "qa-tutor-$version-source/scripts/windows-libs.sh"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
