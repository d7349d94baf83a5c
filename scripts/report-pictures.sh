#!/usr/bin/env bash
# Makes the README's pictures of the instructor's report from the sample
# class (tests/report/sample_class.h, a course site's download zipped): the
# page with José Núñez's cell of q002 opened, docs/report.png, and the
# workbook's grid and gradebook as LibreOffice prints them,
# docs/report-workbook.png. Look at both before committing them.
# It builds them in build/dev, the dev preset.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/dev"

bash "$root/scripts/setup.sh" run test pictures
(cd "$root" && cmake --preset dev >/dev/null &&
    cmake --build --preset dev --target qa-tutor-report report_sample_class)

work="$(mktemp -d "${TMPDIR:-/tmp}/qa-tutor-pictures.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/tests/report/report_sample_class" "$work/download"
python3 "$root/scripts/zip-folder.py" "$work/download" "$work/submissions.zip"
(cd "$work" && "$build/qa-tutor-report" submissions.zip --html class.html --xlsx class.xlsx \
    --grades grades.csv >/dev/null)

# The page, one cell opened as a click opens it.
python3 - "$work/class.html" "$work/opened.html" <<'PY'
import sys
page = open(sys.argv[1], encoding="utf-8").read()
row = page.index('<tr><th class="student">José Núñez<br>')
cell = page.index("<td><details>", page.index("<td><details>", row) + 1)
page = page[:cell] + "<td><details open>" + page[cell + len("<td><details>"):]
open(sys.argv[2], "w", encoding="utf-8").write(page)
PY
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1200,1100 \
    --screenshot="$work/page.png" "file://$work/opened.html" >/dev/null 2>&1
convert "$work/page.png" -trim -bordercolor white -border 16 "$root/docs/report.png"

# The workbook as printed: the Responses sheet's pages, then the one grid's
# and the gradebook's, the last two.
(cd "$work" && HOME="$work" soffice --headless --convert-to pdf class.xlsx >/dev/null 2>&1)
gs -q -sDEVICE=png16m -r110 -o "$work/sheet%03d.png" "$work/class.pdf"
sheets=("$work"/sheet*.png)
convert "${sheets[@]: -2}" -trim -bordercolor white -border 12 -append "$root/docs/report-workbook.png"
echo "report-pictures: docs/report.png and docs/report-workbook.png written"
