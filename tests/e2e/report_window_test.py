#!/usr/bin/env python3
"""End-to-end test of the report window: the real qa-tutor-report-window in
Xvfb, started with a course site's ZIP as its argument (what a desktop gives
a program when a file is dropped on its icon), Enter pressed on the button
that has the focus, the page, workbook and grades written beside the ZIP, and
the page opened in the browser.

Usage: report_window_test.py --binary build/qa-tutor-report-window
           --sample-class build/tests/report/report_sample_class --artifacts DIR
       report_window_test.py --wine-exe qa-tutor-report-window.exe --wine-home DIR
           --sample-class ... --artifacts DIR
The second runs the Windows build under wine, where what the window shows
cannot be read (wine has no bridge to the accessibility bus): the files it
writes are checked, and the screen kept.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
import urllib.parse
import zipfile

from desktop import Linux, Program, Wine, run, run_tests, wait_for

TITLE = "^qa-tutor report$"
# An accent in the name: the argument reaches the program whole.
ZIP_NAME = "Téléchargement.zip"
OUTPUTS = ["Téléchargement.html", "Téléchargement.xlsx", "Téléchargement-grades.csv"]


def course_site_zip(args, folder):
    """The sample class's course-site download, one folder a student, zipped."""
    download = os.path.join(folder, "download")
    subprocess.run([args.sample_class, download], check=True)
    archive = os.path.join(folder, ZIP_NAME)
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for top, _, files in os.walk(download):
            for name in sorted(files):
                path = os.path.join(top, name)
                z.write(path, os.path.relpath(path, download))
    shutil.rmtree(download)
    return archive


class Opener:
    """Stands in for xdg-open, which the desktop uses to open a page in the
    browser: what it was asked to open is kept, and no browser starts."""

    def __init__(self, folder):
        self.folder = os.path.join(folder, "opener")
        self.log = os.path.join(self.folder, "opened")
        os.makedirs(self.folder)
        script = os.path.join(self.folder, "xdg-open")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >>"{self.log}"\n')
        os.chmod(script, 0o755)
        self.path = os.environ["PATH"]
        os.environ["PATH"] = self.folder + os.pathsep + self.path

    def opened(self):
        if not os.path.isfile(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return f.read().split()

    def close(self):
        os.environ["PATH"] = self.path


def window_of(program):
    found = wait_for(lambda: program.xdotool("search", "--onlyvisible", "--name", TITLE,
                                             check=False).split(), "the report window", 30)
    program.window = found[0]
    if not program.system.accessible:
        # Under wine a window is mapped before it is painted: black until then.
        shot = os.path.join(program.system.prefix_home, "report-window.png")

        def painted():
            program.screenshot(shot)
            return float(run("convert", shot, "-colorspace", "Gray", "-format", "%[fx:mean]",
                             "info:")) > 0.5
        wait_for(painted, "the report window painted", 30)
    return program.window


def status_text(program):
    """The window's message, as a screen reader reads it."""
    for label in program.widgets("label"):
        if label.name.startswith(("Ready", "Made", "Nothing", "Reading", "Stopped")) or \
                ": " in label.name:
            return label.name
    return None


def zip_given_as_argument_is_made_by_enter(server, args):
    """The ZIP shown ready to make; Enter presses the focused button; the
    three files beside the ZIP, whole."""
    system = args.system
    folder = system.scratch_folder()
    archive = course_site_zip(args, folder)
    opener = Opener(folder)
    p = Program(server, system, program=args.exe, arguments=[system.path(archive)])
    try:
        window = window_of(p)
        if system.accessible:
            told = wait_for(lambda: status_text(p), "the window's message")
            if not told.startswith("Ready"):
                raise AssertionError(f"the download is not shown ready: {told!r}")
        p.focus(window)
        p.xdotool("key", "Return")
        paths = [os.path.join(folder, name) for name in OUTPUTS]
        wait_for(lambda: all(os.path.isfile(path) for path in paths), "the files made", 60)
        # Moved into place whole: the page ends, the workbook opens as a ZIP.
        with open(paths[0], "rb") as f:
            page = f.read()
        if not page.rstrip().endswith(b"</html>") or "José Núñez".encode() not in page:
            raise AssertionError("the page is not whole or lacks a student")
        with zipfile.ZipFile(paths[1]) as workbook:
            if "xl/workbook.xml" not in workbook.namelist():
                raise AssertionError("the workbook has no xl/workbook.xml")
        with open(paths[2], encoding="utf-8") as f:
            if not f.readline().startswith("student,"):
                raise AssertionError("the grades have no header")
        # The staging folder goes once its files are in place: a moment after.
        def leftovers():
            return [n for n in os.listdir(folder) if n.startswith(".qa-tutor-report-")]
        try:
            wait_for(lambda: not leftovers(), "the staging folder removed", 10)
        except AssertionError:
            raise AssertionError(f"a staging folder left: {leftovers()}") from None
        if system.accessible:
            told = wait_for(lambda: (status_text(p) or "").startswith("Made") and status_text(p),
                            "the window's message after the run")
            if not told.startswith("Made " + ", ".join(OUTPUTS)):
                raise AssertionError(f"the window says {told!r}")
            # The page made is opened in the browser, as the window's box says.
            page_url = "file://" + urllib.parse.quote(paths[0])
            wait_for(lambda: opener.opened() == [page_url], "the page opened in the browser")
        time.sleep(0.5)
        p.screenshot(os.path.join(args.artifacts, f"report-window-{system.name}.png"))
        if not p.running():
            raise AssertionError(f"the window ended with status {p.process.returncode}")
    finally:
        p.close()
        opener.close()
        shutil.rmtree(folder, ignore_errors=True)


def pdf_given_as_argument_is_told(server, args):
    """A file that is no download, named with the reason in the window."""
    system = args.system
    folder = system.scratch_folder()
    pdf = os.path.join(folder, "syllabus.pdf")
    with open(pdf, "wb") as f:
        f.write(b"%PDF-1.7\n%\xe2\xe3\xcf\xd3\n")
    p = Program(server, system, program=args.exe, arguments=[system.path(pdf)])
    try:
        window_of(p)
        told = wait_for(lambda: status_text(p), "the window's message")
        expected = f"{pdf}: not a course site's download"
        if not told.startswith(expected):
            raise AssertionError(f"expected {expected!r}..., the window says {told!r}")
    finally:
        p.close()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary")
    parser.add_argument("--wine-exe")
    parser.add_argument("--wine-home")
    parser.add_argument("--sample-class", required=True)
    parser.add_argument("--artifacts", required=True)
    args = parser.parse_args()
    if bool(args.binary) == bool(args.wine_exe):
        parser.error("give --binary or --wine-exe")
    os.makedirs(args.artifacts, exist_ok=True)
    tests = [zip_given_as_argument_is_made_by_enter]
    if args.wine_exe:
        args.system = Wine(args.wine_exe, args.wine_home)
        args.exe = args.wine_exe
    else:
        args.system = Linux(args.binary)
        args.exe = args.binary
        # What the window says is read through the accessibility bus.
        tests.append(pdf_given_as_argument_is_told)

    return run_tests(tests, args.system, args.artifacts, args)


if __name__ == "__main__":
    sys.exit(main())
