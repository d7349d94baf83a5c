"""The built program in a real X server, driven with xdotool as a student would."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import traceback

# Runs a command as this user; as root, without root's right to write read-only
# files, which the tests of read-only files need.
UNPRIVILEGED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                            "unprivileged.sh")

TWIPS_PER_PIXEL = 15  # at 96 DPI, which the server is started with

# Centres of the controls the student uses, in twips from the inner area's corner.
CONTROLS = {
    "next": (240, 0, 975, 735),
    "enter": (5640, 240, 855, 495),
    "notes": (6480, 240, 855, 495),
    "display_send": (4440, 240, 855, 495),
    "display_notes": (3360, 360, 135, 195),
    "quit": (10200, 0, 735, 495),
    "clear": (8280, 240, 855, 495),
    "answer": (5640, 720, 5055, 3255),
    "txt_answer": (5640, 720, 5055, 3255),
    "txt_question": (240, 720, 5175, 3255),
    "pend_exp": (8640, 7560, 495, 375),
    "copy_picture": (1200, 8160, 855, 495),
}

# Inner areas of the picture boxes, in twips, as for the controls.
PICTURES = {
    "Picture1": (240, 4080, 5175, 3375),
    "Picture2": (5640, 4080, 5055, 3375),
}


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


# Long enough for wine to start a program on a machine busy with the other
# tests; a wait that is met ends at once.
WAIT = 40.0


def wait_for(condition, what, timeout=WAIT):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


def held_key_repeats():
    """How long a held key takes to repeat ten times, from the X server's own
    settings (xset q); the server must repeat held keys, as a desktop's does."""
    settings = run("xset", "q")
    if not re.search(r"auto repeat:\s+on", settings):
        raise AssertionError("the X server does not repeat held keys")
    found = re.search(r"auto repeat delay:\s+(\d+)\s+repeat rate:\s+(\d+)", settings)
    delay, rate = (int(v) for v in found.groups())
    return delay / 1000 + 10 / rate


def run_tests(tests, system, artifacts, *arguments):
    """Runs each test in one X server; a failure is printed with the screen as it was."""
    passed = failed = 0
    with XServer(system.window_manager) as server, system:
        for test in tests:
            started = time.monotonic()
            try:
                test(server, *arguments)
                passed += 1
                print(f"PASS {test.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception:
                failed += 1
                print(f"FAIL {test.__name__}", flush=True)
                traceback.print_exc()
                shot = os.path.join(artifacts, f"failed-{test.__name__}.png")
                run("import", "-display", server.display, "-window", "root", shot)
                print(f"screen at the failure: {shot}", flush=True)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


class XServer:
    def __init__(self, window_manager=None):
        self.window_manager = window_manager

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-dpi", "96",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        self.display = f":{number}"
        # A session bus of its own, which starts the accessibility bus the
        # program's widgets are read through.
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.bus_address = self.bus.stdout.readline().strip()
        if not self.bus_address:
            raise AssertionError("dbus-daemon did not start")
        os.environ["DISPLAY"] = self.display
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        self.manager = None
        if self.window_manager:
            self.manager = subprocess.Popen([self.window_manager], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
        return self

    def __exit__(self, *exc):
        if self.manager:
            self.manager.terminate()
            self.manager.wait(timeout=10)
        self.bus.terminate()
        self.bus.wait(timeout=10)
        self.process.terminate()
        self.process.wait(timeout=10)


class Linux:
    """The program built for Linux, started with a home folder of its own and
    read through the accessibility bus, as a screen reader reads it."""

    name = "linux"
    accessible = True
    window_manager = None
    missing_folder = "No such file or directory"

    def __init__(self, binary):
        self.binary = binary

    def new_home(self):
        return tempfile.mkdtemp(prefix="qa-tutor-e2e-")

    def folder(self, home):
        return os.path.join(home, "tutrdata")

    def scratch_folder(self):
        return tempfile.mkdtemp(prefix="qa-tutor-e2e-folder-")

    def path(self, path):
        """A path as the program names it and as a student types it."""
        return path

    def start(self, server, home, program=None, arguments=()):
        env = dict(os.environ, DISPLAY=server.display, HOME=home, QT_FONT_DPI="96",
                   XDG_RUNTIME_DIR=home, DBUS_SESSION_BUS_ADDRESS=server.bus_address,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("WAYLAND_DISPLAY", None)
        return env, subprocess.Popen([program or self.binary, *arguments], env=env,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def remove_home(self, home):
        shutil.rmtree(home, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        pass


class Wine:
    """The program built for Windows, under wine in a prefix of its own whose
    c:\\tutrdata is the default folder. Wine has no bridge to the
    accessibility bus: what a box shows and what a message says are read
    through the clipboard, which wine shares with the X server."""

    name = "wine"
    accessible = False
    # Without a window manager wine waits two seconds for each window it
    # hides to be let go; a small one lets go at once.
    window_manager = "evilwm"
    # What wine's FormatMessage says of ERROR_PATH_NOT_FOUND (Windows says
    # "The system cannot find the path specified").
    missing_folder = "Path not found"
    wine = "/usr/lib/wine/wine64"

    def __init__(self, exe, prefix_home):
        self.binary = exe
        self.prefix_home = prefix_home
        self.prefix = os.path.join(prefix_home, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        # As root, wine runs without root's right to write read-only files.
        self.wine_command = ["bash", UNPRIVILEGED, self.wine]

    def __enter__(self):
        """Makes the prefix on first use and keeps its server running, so each
        start of the program does not wait for a new one."""
        os.makedirs(self.prefix_home, exist_ok=True)
        # Wine refuses a prefix of another user's, as one made as the user
        # nobody by an earlier way of running it as root.
        if os.path.isdir(self.prefix) and os.stat(self.prefix).st_uid != os.geteuid():
            shutil.rmtree(self.prefix)
        if not os.path.isfile(os.path.join(self.prefix, "system.reg")):
            subprocess.run([*self.wine_command, "wineboot", "--init"], env=self.env(None),
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=300)
        # Wine's own Tahoma (Debian's fonts-wine), the face Windows gives its
        # dialogs ("MS Shell Dlg 2"), which wine does not load by itself here,
        # drawn smoothed as Windows draws text.
        fonts = os.path.join(self.drive_c, "windows", "Fonts")
        if not os.path.exists(os.path.join(fonts, "tahoma.ttf")):
            for name in ("tahoma.ttf", "tahomabd.ttf"):
                shutil.copy(os.path.join("/usr/share/wine/fonts", name), fonts)
            settings = os.path.join(self.prefix_home, "smoothing.reg")
            with open(settings, "w") as f:
                f.write('REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n'
                        '"FontSmoothing"="2"\n"FontSmoothingType"=dword:00000002\n'
                        '"FontSmoothingGamma"=dword:00000578\n'
                        '"FontSmoothingOrientation"=dword:00000001\n')
            subprocess.run([*self.wine_command, "regedit", "/S", settings], env=self.env(None),
                           check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=120)
        self.server_process = subprocess.Popen(
            ["bash", UNPRIVILEGED, "/usr/lib/wine/wineserver64", "-p", "-f"], env=self.env(None))
        return self

    def __exit__(self, *exc):
        subprocess.run(["bash", UNPRIVILEGED, "/usr/lib/wine/wineserver64", "-k"],
                       env=self.env(None))
        self.server_process.wait(timeout=30)

    def new_home(self):
        home = self.folder(None)
        shutil.rmtree(home, ignore_errors=True)
        return home

    def folder(self, home):
        return os.path.join(self.drive_c, "tutrdata")

    def scratch_folder(self):
        return tempfile.mkdtemp(prefix="qa-tutor-e2e-folder-", dir=self.prefix_home)

    def path(self, path):
        if path.startswith(self.drive_c + os.sep):
            return "c:\\" + path[len(self.drive_c) + 1:].replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def env(self, server):
        env = dict(os.environ, HOME=self.prefix_home,
                   WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "QT_QPA_FONTDIR", "QT_FONT_DPI"):
            env.pop(name, None)
        if server is not None:
            env["DISPLAY"] = server.display
        return env

    def run(self, server, *args, timeout=120, cwd=None):
        """A Windows program under wine, to its end. Its output goes through
        files: the processes wine starts beside it would hold pipes open."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run([*self.wine_command, *args], env=self.env(server),
                                  stdout=out, stderr=err, timeout=timeout, cwd=cwd)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(done.args, done.returncode,
                                               out.read().decode(errors="replace"),
                                               err.read().decode(errors="replace"))

    def start(self, server, home, program=None, arguments=()):
        env = self.env(server)
        # Arguments reach the program's command line as UTF-8 is read.
        env["LC_ALL"] = "C.UTF-8"
        return env, subprocess.Popen([*self.wine_command, program or self.binary, *arguments],
                                     env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True)

    def remove_home(self, home):
        shutil.rmtree(home, ignore_errors=True)


class Program:
    """One run of qa-tutor with its own home folder (under wine, the prefix's
    c:\\tutrdata emptied)."""

    def __init__(self, server, system, home=None, program=None, arguments=()):
        self.server = server
        self.system = system
        self.home = home or system.new_home()
        self.env, self.process = system.start(server, self.home, program, arguments)
        self.window = None

    @property
    def folder(self):
        return self.system.folder(self.home)

    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool", *args], env=self.env, check=check,
                              capture_output=True, text=True).stdout

    def dialogs(self):
        found = self.xdotool("search", "--onlyvisible", "--name", "^qa-tutor$", check=False)
        return found.split()

    def wait_dialog(self):
        def found():
            if not self.running():
                raise AssertionError(f"the program ended with status {self.process.returncode}: "
                                     f"{self.told()}")
            return self.dialogs()
        return wait_for(found, "a prompt or message")[-1]

    def wait_no_dialog(self):
        wait_for(lambda: not self.dialogs(), "the dialog to close")

    def focus(self, window):
        # Keys typed before the new dialog has the focus would go astray.
        wait_for(lambda: self.xdotool("windowfocus", "--sync", window, check=False) is not None
                 and self.xdotool("getwindowfocus", check=False).strip() == window,
                 "the focus on the dialog")
        time.sleep(0.1)

    def answer(self, text):
        """Types a reply into the prompt that is open and presses Enter. A reply
        beyond ASCII is pasted, as xdotool's keys for such letters reach the
        program as nothing."""
        dialog = self.wait_dialog()
        self.focus(dialog)
        if text.isascii():
            if text:
                self.xdotool("type", "--delay", "2", text)
        else:
            self.paste(text)
        self.xdotool("key", "Return")
        wait_for(lambda: dialog not in self.dialogs(), "the prompt to close")

    def cancel(self):
        dialog = self.wait_dialog()
        self.focus(dialog)
        self.xdotool("key", "Escape")
        wait_for(lambda: dialog not in self.dialogs(), "the prompt to close")

    def accessible(self):
        """The program's accessible application, as a screen reader sees it."""
        import pyatspi  # only once the session bus is known

        def found():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            return None
        return wait_for(found, "the program on the accessibility bus")

    def widgets(self, role, within=None):
        """Every showing widget of the role in the program's windows (or in
        one of its widgets), depth first."""
        import pyatspi
        found = []

        def walk(node):
            if node is None:
                return
            states = node.getState()
            if not states.contains(pyatspi.STATE_SHOWING):
                return
            if node.getRoleName() == role:
                found.append(node)
            for i in range(node.childCount):
                walk(node.getChildAtIndex(i))
        top = within if within is not None else self.accessible()
        for i in range(top.childCount):
            walk(top.getChildAtIndex(i))
        return found

    def box_text(self, name):
        """What a text box of the window shows (line ends LF)."""
        if not self.system.accessible:
            self.click(name)
            text = self.copied("ctrl+a", "ctrl+c")
            self.xdotool("key", "Left")  # the selection given up, as it was
            return text
        for box in self.widgets("text"):
            if box.name == name:
                return box.queryText().getText(0, -1)
        raise AssertionError(f"no text box {name}")

    def paste(self, text):
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=text.encode("utf-8"),
                       env=self.env, check=True)
        self.xdotool("key", "ctrl+v")

    def copied(self, *keys):
        """What the keys put on the clipboard, line ends LF; empty if nothing."""
        subprocess.run(["xclip", "-selection", "clipboard", "-i", "/dev/null"], env=self.env,
                       check=True)
        self.xdotool("key", *keys)
        time.sleep(0.2)
        got = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.env,
                             capture_output=True)
        return got.stdout.decode("utf-8", errors="replace").replace("\r\n", "\n")

    def text_in_view(self, name):
        """What a text box of the window shows in its view, as a screen reader is
        told it: from the start of its top line to the end of its bottom line."""
        import pyatspi
        for box in self.widgets("text"):
            if box.name == name:
                text = box.queryText()
                area = box.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                # Inside the frame and left of the scroll bar.
                top = text.getOffsetAtPoint(area.x + 8, area.y + 8, pyatspi.DESKTOP_COORDS)
                bottom = text.getOffsetAtPoint(area.x + area.width - 24,
                                               area.y + area.height - 6, pyatspi.DESKTOP_COORDS)
                if top < 0 or bottom < top:
                    raise AssertionError(f"no text in the view of {name}: {top}, {bottom}")
                return text.getText(top, bottom)
        raise AssertionError(f"no text box {name}")

    def alert_text(self):
        """The text of the message box that is open, or None when the open
        dialog is no message box. Under wine, what Ctrl+C copies of a message
        box on Windows: its title, text and buttons between rules."""
        if not self.system.accessible:
            parts = self.copied("ctrl+c").split("---------------------------\n")
            return parts[2][:-1] if len(parts) > 3 and parts[1] == "qa-tutor\n" else None
        alerts = self.widgets("alert")
        if not alerts:
            return None
        labels = [n.name for n in self.widgets("label", alerts[-1]) if n.name]
        return "\n".join(labels)

    def dismiss_message(self, expected):
        """Checks that the dialog open is a message box saying `expected`, then closes it."""
        self.focus(self.wait_dialog())
        try:
            wait_for(lambda: self.alert_text() == expected, "the message")
        except AssertionError as e:
            raise AssertionError(f"message expected: {expected!r}, shown: "
                                 f"{self.alert_text()!r}") from e
        self.answer("")

    def ink(self, shot, picture):
        """The share of pixels in a picture box that are not white, inside a
        margin that keeps its frame out."""
        left, top, width, height = (v // TWIPS_PER_PIXEL for v in PICTURES[picture])
        margin = 4
        crop = f"{width - 2 * margin}x{height - 2 * margin}+{left + margin}+{top + margin}"
        mean = run("convert", shot, "-crop", crop, "+repage", "-colorspace", "Gray",
                   "-threshold", "99%", "-negate", "-format", "%[fx:mean]", "info:")
        return float(mean)

    def wait_window(self):
        # On Windows Qt shows the program's name after the window's title.
        found = wait_for(lambda: self.xdotool("search", "--onlyvisible", "--name",
                                              "^Form1( - qa-tutor)?$",
                                              check=False).split(), "the window")
        self.window = found[0]
        if not self.system.accessible:
            # Mapped before it is painted: until then the screen shows black.
            shot = os.path.join(self.system.prefix_home, "window.png")

            def painted():
                self.screenshot(shot)
                return float(run("convert", shot, "-colorspace", "Gray", "-format",
                                 "%[fx:mean]", "info:")) > 0.5
            wait_for(painted, "the window painted")
        return self.window

    def click(self, control):
        left, top, width, height = CONTROLS[control]
        x = (left + width // 2) // TWIPS_PER_PIXEL
        y = (top + height // 2) // TWIPS_PER_PIXEL
        self.xdotool("mousemove", "--window", self.window, str(x), str(y), "click", "1")
        time.sleep(0.15)

    def type_answer(self, text):
        """Types into the answer box, replacing what it holds; lines end with Enter."""
        self.click("answer")
        self.xdotool("key", "ctrl+a", "BackSpace")
        for i, line in enumerate(text.split("\n")):
            if i:
                self.xdotool("key", "Return")
            if line:
                self.xdotool("type", "--delay", "2", line)

    def screenshot(self, path):
        if self.system.accessible:
            run("import", "-display", self.server.display, "-window", self.window, path)
            return
        # Wine draws its windows so that only the screen's image holds them.
        geometry = self.xdotool("getwindowgeometry", "--shell", self.window)
        at = dict(line.split("=") for line in geometry.split())
        run("import", "-display", self.server.display, "-window", "root", "-crop",
            f"{at['WIDTH']}x{at['HEIGHT']}+{at['X']}+{at['Y']}", "+repage", path)

    def running(self):
        return self.process.poll() is None

    def told(self):
        """What the ended program wrote on its console. Under wine the processes
        wine starts beside it hold the pipe open, so it is not read there."""
        if self.system.name == "wine":
            return "(not read under wine)"
        return self.process.stderr.read()

    def wait_ended(self, timeout=WAIT):
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired as e:
            raise AssertionError("the program did not end") from e
        return self.process.returncode

    def close(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self.system.remove_home(self.home)


def masked(data: bytes) -> str:
    """A record file as text with the run's code lines and clock readings masked."""
    text = data.decode("cp1252", errors="replace")
    lines = text.split("\r\n")
    for i, line in enumerate(lines):
        if i + 1 < len(lines) and lines[i + 1].startswith("assignment #"):
            lines[i] = "<code line>"
    text = "\r\n".join(lines)
    text = re.sub(r"\d\d-\d\d-\d{4}", "MM-DD-YYYY", text)
    return re.sub(r"\d\d:\d\d:\d\d", "HH:MM:SS", text)
