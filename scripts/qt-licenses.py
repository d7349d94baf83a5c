#!/usr/bin/env python3
"""Gathers the licence texts of a static Qt for Windows built from qtbase's
source: Qt's own licences and one notice file of the third-party code built
into it, from the attributions Qt keeps beside that code.

Usage: qt-licenses.py QTBASE_SOURCE OUTPUT_FOLDER
"""

import json
import os
import shutil
import sys

# Folders of code this build of Qt leaves out (modules turned off, other
# systems), whose attributions do not belong in its notices.
LEFT_OUT = ("opengl", "vulkan", "network", "dbus", "cocoa", "android", "gradle", "wasm", "xcb",
            "libpsl", "VulkanMemoryAllocator", "forkfd")
QT_LICENCES = ("LGPL-3.0-only.txt", "GPL-3.0-only.txt", "GPL-2.0-only.txt")


def attributions(source):
    for folder, dirs, files in os.walk(os.path.join(source, "src")):
        dirs.sort()
        if "qt_attribution.json" not in files:
            continue
        if any(part in LEFT_OUT for part in folder.split(os.sep)):
            continue
        with open(os.path.join(folder, "qt_attribution.json"), encoding="utf-8") as f:
            found = json.loads(f.read(), strict=False)
        for entry in found if isinstance(found, list) else [found]:
            yield folder, entry


def licence_text(folder, entry):
    names = entry.get("LicenseFiles") or [entry.get("LicenseFile")]
    texts = []
    for name in filter(None, names):
        path = os.path.join(folder, name)
        if os.path.isfile(path):
            with open(path, encoding="utf-8", errors="replace") as f:
                texts.append(f.read().strip())
    return "\n\n".join(texts)


def main():
    source, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    for name in QT_LICENCES:
        shutil.copyfile(os.path.join(source, "LICENSES", name), os.path.join(out, name))
    rule = "=" * 78
    parts = ["Third-party code in the Qt libraries linked into qa-tutor.exe and "
             "qa-tutor-report.exe,\nwith its copyright and licence, as Qt records it."]
    for folder, entry in attributions(source):
        head = [entry.get("Name", "?")]
        for key in ("Version", "Homepage", "License", "Copyright"):
            if entry.get(key):
                head.append(f"{key}: {entry[key].strip()}")
        parts.append(rule + "\n" + "\n".join(head) + "\n\n" + licence_text(folder, entry))
    with open(os.path.join(out, "THIRD-PARTY-NOTICES.txt"), "w", encoding="utf-8",
              newline="\r\n") as f:
        f.write("\n\n".join(parts) + "\n")


if __name__ == "__main__":
    main()
