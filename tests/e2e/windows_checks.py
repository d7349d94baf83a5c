"""What only the Windows build has: its installer and the report on Windows.

Run by e2e_test.py under wine when it is given --installer."""

import csv
import os
import pwd
import subprocess
import zipfile
import time

from desktop import Program, wait_for

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\qa-tutor"
RECORDS = {
    "masterFile_Ann_Lee.txt": b"earlier records\r\n",
    "send_1209Ann_Lee.txt": b"the send file\r\n",
    "notes_Ann_Lee.txt": b"a note\r\n",
}


def user_folder(system, *parts):
    """A folder of the user wine runs as, inside the prefix."""
    user = pwd.getpwuid(os.geteuid()).pw_name
    return os.path.join(system.drive_c, "users", user, *parts)


def registry_key(server, system, hive):
    got = system.run(server, "reg", "query", f"{hive}\\{UNINSTALL_KEY}")
    return got.stdout if got.returncode == 0 else None


def manifest_of(path):
    got = subprocess.run(["wrestool", "-x", "--raw", "-t", "24", path], capture_output=True)
    return got.stdout.decode("utf-8", errors="replace")


def installer_installs_for_the_student_alone(server, args, bank):
    """The silent install, the installed program's first prompt and the
    uninstall, which leaves the student's records where they are."""
    system = args.system
    records = system.folder(None)
    os.makedirs(records, exist_ok=True)
    for name, data in RECORDS.items():
        with open(os.path.join(records, name), "wb") as f:
            f.write(data)
    installed = user_folder(system, "AppData", "Local", "Programs", "qa-tutor")
    shortcut = user_folder(system, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu",
                           "Programs", "qa-tutor.lnk")
    report_shortcut = os.path.join(os.path.dirname(shortcut), "qa-tutor report.lnk")

    def starts_report_window():
        """The link names the report window's program, in either of its encodings."""
        with open(report_shortcut, "rb") as f:
            link = f.read()
        name = "qa-tutor-report-window.exe"
        return name.encode("utf-16-le") in link or name.encode() in link

    def installed_file(name):
        return lambda: os.path.isfile(os.path.join(installed, name))

    def records_untouched():
        def holds(name, data):
            path = os.path.join(records, name)
            return os.path.isfile(path) and open(path, "rb").read() == data
        return all(holds(n, d) for n, d in RECORDS.items())

    asks_no_rights = 'level="asInvoker"' in manifest_of(args.installer)
    done = system.run(server, args.installer, "/S")
    after_install = [
        ("the installer asks for no administrator rights", lambda: asks_no_rights),
        ("the installer ends with status 0", lambda: done.returncode == 0),
        ("qa-tutor.exe in the user's programs folder", installed_file("qa-tutor.exe")),
        ("qa-tutor-report.exe beside it", installed_file("qa-tutor-report.exe")),
        ("Qt's licence", installed_file(os.path.join("licenses", "LGPL-3.0-only.txt"))),
        ("the README", installed_file("README.txt")),
        ("the uninstaller", installed_file("Uninstall.exe")),
        ("no DLL beside the programs",
         lambda: not [n for n in os.listdir(installed) if n.lower().endswith(".dll")]),
        ("a Start-menu entry of the user's", lambda: os.path.isfile(shortcut)),
        ("qa-tutor-report-window.exe installed", installed_file("qa-tutor-report-window.exe")),
        ("the Start-menu entry \"qa-tutor report\" of the report window",
         lambda: os.path.isfile(report_shortcut) and starts_report_window()),
        ("the uninstall entry in the user's registry",
         lambda: "qa-tutor" in (registry_key(server, system, "HKCU") or "")),
        ("no entry for all users", lambda: registry_key(server, system, "HKLM") is None),
        ("the records untouched by the install", records_untouched),
    ]
    failures = [what for what, check in after_install if not check()]

    p = Program(server, system, home=records, program=os.path.join(installed, "qa-tutor.exe"))
    try:
        p.wait_dialog()
    except AssertionError:
        failures.append("the installed program shows its first prompt")
    finally:
        p.process.kill()
        p.process.wait()

    system.run(server, os.path.join(installed, "Uninstall.exe"), "/S")
    after_uninstall = [
        ("the program's folder removed", lambda: not os.path.exists(installed)),
        ("the Start-menu entry removed", lambda: not os.path.exists(shortcut)),
        ("the report window's Start-menu entry removed",
         lambda: not os.path.exists(report_shortcut)),
        ("the uninstall entry removed", lambda: registry_key(server, system, "HKCU") is None),
        ("c:\\tutrdata and the records kept",
         lambda: os.path.isdir(records) and sorted(os.listdir(records)) == sorted(RECORDS)
         and records_untouched()),
    ]
    # The uninstaller runs on from a copy of itself and ends later: each of
    # its steps is awaited, and those not done in a minute are told.
    try:
        wait_for(lambda: all(check() for _, check in after_uninstall), "the uninstall",
                 timeout=60)
    except AssertionError:
        pass
    failures += [what for what, check in after_uninstall if not check()]
    if failures:
        raise AssertionError("installer checks failed: " + "; ".join(failures))


def report_gives_the_linux_csv(server, args, bank):
    """qa-tutor-report.exe on the records this run's sessions wrote, against
    the Linux build's report on the same files."""
    system = args.system
    folder = os.path.join(args.artifacts, "records-wine")
    if not os.listdir(folder):
        raise AssertionError(f"no records kept in {folder}")
    linux_csv = os.path.join(args.artifacts, "report-linux.csv")
    wine_csv = os.path.join(system.prefix_home, "report-wine.csv")
    subprocess.run([args.linux_report, "--csv", linux_csv, folder], check=True,
                   capture_output=True)
    got = system.run(server, args.report_exe, "--csv", system.path(wine_csv), system.path(folder))
    if got.returncode != 0:
        raise AssertionError(f"qa-tutor-report.exe ended with {got.returncode}: {got.stderr}")
    with open(linux_csv, "rb") as f:
        # Each row names its file as the program was given it.
        expected = f.read().replace((folder + "/").encode(),
                                    (system.path(folder) + "\\").encode())
    with open(wine_csv, "rb") as f:
        actual = f.read()
    rows = list(csv.reader(expected.decode("utf-8").splitlines()))
    if len(rows) < 4:
        raise AssertionError(f"the Linux report has only {len(rows)} rows")
    if actual != expected:
        raise AssertionError(f"the CSVs differ:\n--- Linux\n{expected!r}\n--- wine\n{actual!r}")
    archive_gives_the_linux_gradebook_and_workbook(server, args, folder)


def archive_gives_the_linux_gradebook_and_workbook(server, args, folder):
    """The same records as a course site's ZIP (one folder a student, names
    with accents): qa-tutor-report.exe reads it in place and writes the
    gradebook and a workbook under a name with an accent, as the Linux build
    does from the same archive."""
    system = args.system
    archive = os.path.join(system.prefix_home, "téléchargement.zip")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for name in sorted(os.listdir(folder)):
            z.write(os.path.join(folder, name), f"{name[:-4]}_4711_assignsubmission_file_/{name}")
    # Both run where the archive is and are given it by its name, so that
    # the workbooks' file columns read alike.
    home = system.prefix_home
    outputs = {}
    for side in ("linux", "wine"):
        grades = f"notes-{side}.csv"
        workbook = f"classé-{side}.xlsx"
        words = ["--grades", grades, "--xlsx", workbook, os.path.basename(archive)]
        if side == "linux":
            got = subprocess.run([args.linux_report, *words], capture_output=True, text=True,
                                 cwd=home)
        else:
            got = system.run(server, args.report_exe, *words, cwd=home)
        if got.returncode != 0:
            raise AssertionError(f"the {side} report of the ZIP ended with {got.returncode}: "
                                 f"{got.stderr}")
        grades = os.path.join(home, grades)
        workbook = os.path.join(home, workbook)
        with open(grades, "rb") as f:
            rows = f.read()
        # The workbook's parts but its time of writing.
        with zipfile.ZipFile(workbook) as z:
            parts = {n: z.read(n) for n in z.namelist() if n != "docProps/core.xml"}
        outputs[side] = (rows, parts)
    if outputs["wine"][0] != outputs["linux"][0]:
        raise AssertionError(f"the gradebooks differ:\n--- Linux\n{outputs['linux'][0]!r}"
                             f"\n--- wine\n{outputs['wine'][0]!r}")
    if len(outputs["linux"][0].splitlines()) < 2:
        raise AssertionError("the gradebook of the ZIP has no student")
    differing = [n for n in outputs["linux"][1] if outputs["wine"][1].get(n) != outputs["linux"][1][n]]
    if differing or set(outputs["wine"][1]) != set(outputs["linux"][1]):
        raise AssertionError(f"the workbooks differ in {differing or 'their parts'}")


TESTS = [installer_installs_for_the_student_alone, report_gives_the_linux_csv]
