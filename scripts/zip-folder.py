"""Packs a folder into a ZIP as a course site stores a download: deflated, in name order."""
import os
import sys
import zipfile

top, archive = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in sorted(os.walk(top)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            z.write(path, os.path.relpath(path, top))
