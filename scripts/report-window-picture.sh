#!/usr/bin/env bash
# Makes docs/report-window.png, the report window as an instructor sees it
# after a run: the sample class's course-site ZIP (tests/report/sample_class.h)
# with a Canvas class list that lacks one student who sent files and names
# one who sent none, in Xvfb, taken with import -window. Look at it before
# committing it. It builds in build/dev, the dev preset, unless
# QA_TUTOR_BUILD names another build folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QA_TUTOR_BUILD:-$root/build/dev}"

bash "$root/scripts/setup.sh" run test
if [[ -z "${QA_TUTOR_BUILD:-}" ]]; then
    (cd "$root" && cmake --preset dev >/dev/null)
fi
cmake --build "$build" --target qa-tutor-report-window report_sample_class

# The instructor's home, whose name the window shows in its paths.
work="$(mktemp -d /tmp/ann.XXXXXX)"
server=
trap '[[ -n "$server" ]] && kill "$server"; rm -rf "$work"' EXIT
mkdir -p "$work/Downloads"
"$build/tests/report/report_sample_class" "$work/download"
python3 "$root/scripts/zip-folder.py" "$work/download" "$work/Downloads/submissions.zip"
cat >"$work/Downloads/export.csv" <<'CSV'
Student,ID,SIS User ID,SIS Login ID,Section
    Points Possible,,,,
"Lee, Ann",11001,,alee,Precalc A
"Núñez, José",11002,,jnunez,Precalc A
"Chen, Bo",11004,,bchen,Precalc A
"Park, Dee",11005,,dpark,Precalc A
"Fox, Eve",11006,,efox,Precalc A
CSV
# The class list as the last run left it, so that the window shows it.
mkdir -p "$work/.config/qa-tutor"
printf '[General]\nclassList=%s\n' "$work/Downloads/export.csv" \
    >"$work/.config/qa-tutor/qa-tutor-report-window.conf"

Xvfb -displayfd 1 -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$work/display" 2>/dev/null &
server=$!
until [[ -s "$work/display" ]]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" HOME="$work" XDG_RUNTIME_DIR="$work"
# The page the run opens goes to no browser here.
mkdir -p "$work/bin"
printf '#!/bin/sh\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
chmod 700 "$work"
env -u QT_QPA_PLATFORM "$build/qa-tutor-report-window" "$work/Downloads/submissions.zip" &
window_program=$!
until window="$(xdotool search --onlyvisible --name '^qa-tutor report$' 2>/dev/null)"; do
    sleep 0.1
done
xdotool windowfocus --sync "$window" key Return
until [[ -f "$work/Downloads/submissions.html" ]]; do sleep 0.1; done
sleep 1
import -window "$window" "$root/docs/report-window.png"
kill "$window_program"
echo "docs/report-window.png: look at it before committing it"
