"""The built program in a real X server, driven with xdotool as a student would."""

import os
import re
import shutil
import subprocess
import tempfile
import time

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


def wait_for(condition, what, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out waiting for {what}")


class XServer:
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
        return self

    def __exit__(self, *exc):
        self.bus.terminate()
        self.bus.wait(timeout=10)
        self.process.terminate()
        self.process.wait(timeout=10)


class Program:
    """One run of qa-tutor with its own home folder."""

    def __init__(self, server, binary, home=None):
        self.server = server
        self.home = home or tempfile.mkdtemp(prefix="qa-tutor-e2e-")
        env = dict(os.environ, DISPLAY=server.display, HOME=self.home, QT_FONT_DPI="96",
                   XDG_RUNTIME_DIR=self.home, DBUS_SESSION_BUS_ADDRESS=server.bus_address,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("WAYLAND_DISPLAY", None)
        self.env = env
        self.process = subprocess.Popen([binary], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        self.window = None

    @property
    def folder(self):
        return os.path.join(self.home, "tutrdata")

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
                                     f"{self.process.stderr.read()}")
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
        """Types a reply into the prompt that is open and presses Enter."""
        dialog = self.wait_dialog()
        self.focus(dialog)
        if text:
            self.xdotool("type", "--delay", "2", text)
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
        for box in self.widgets("text"):
            if box.name == name:
                return box.queryText().getText(0, -1)
        raise AssertionError(f"no text box {name}")

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
        dialog is no message box."""
        alerts = self.widgets("alert")
        if not alerts:
            return None
        labels = [n.name for n in self.widgets("label", alerts[-1]) if n.name]
        return "\n".join(labels)

    def dismiss_message(self, expected):
        """Checks that the dialog open is a message box saying `expected`, then closes it."""
        self.wait_dialog()
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
        found = wait_for(lambda: self.xdotool("search", "--onlyvisible", "--name", "^Form1$",
                                              check=False).split(), "the window")
        self.window = found[0]
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
        run("import", "-display", self.server.display, "-window", self.window, path)

    def running(self):
        return self.process.poll() is None

    def wait_ended(self, timeout=15.0):
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired as e:
            raise AssertionError("the program did not end") from e
        return self.process.returncode

    def close(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.home, ignore_errors=True)


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
