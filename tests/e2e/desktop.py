"""A private desktop for end-to-end tests of veltrix-wireless: a virtual X display, a session bus
with the accessibility bus, optionally a notification area, the emulated mouse, and the program
itself, driven as a screen reader sees it (pyatspi: find by role and name, press)."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

BIN = os.environ.get("VELTRIX_BIN", os.path.join(os.path.dirname(__file__), "../../build/bin"))
PROGRAM = os.path.join(BIN, "veltrix-wireless")
EMULATOR = os.path.join(BIN, "veltrix-mouse-emulator")
SWAY_USER = "veltrix-e2e"  # the compositor refuses to run as root
PATIENCE = 20.0  # seconds; generous for a loaded machine or a sanitizer build


def wait_for(condition, timeout=PATIENCE, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Desktop:
    """Everything of one test, started in order and stopped in reverse."""

    def __init__(self, tray=True, lang="C.UTF-8", window_manager=False, wayland=None):
        """`wayland`: None for an X display of its own; else the program's platform ("wayland"
        or "xcb") on a headless Wayland compositor with XWayland."""
        self.dir = tempfile.mkdtemp(prefix="veltrix-e2e-")
        self.processes = []
        self.program = None
        self.env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS",
                     "LANGUAGE", "LC_ALL", "LC_MESSAGES"):
            self.env.pop(name, None)
        self.env.update({
            "XDG_DATA_HOME": os.path.join(self.dir, "data"),
            "XDG_CONFIG_HOME": os.path.join(self.dir, "config"),
            "XDG_RUNTIME_DIR": os.path.join(self.dir, "run"),
            "HOME": self.dir,
            "LANG": lang,  # the program speaks the desktop's language
            "QT_QPA_PLATFORM": "xcb",
            "QT_ACCESSIBILITY": "1",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "NO_AT_BRIDGE": "0",
        })
        # Qt and the system libraries under it keep some allocations to the end of the process;
        # leak checks belong to the unit tests, not to a whole desktop program.
        if "ASAN_OPTIONS" in self.env:
            self.env["ASAN_OPTIONS"] += ":detect_leaks=0"
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        try:
            self._start_all(tray, window_manager, wayland)
        except BaseException:
            self.close()  # what was started so far goes too (a skip included)
            raise

    def _start_all(self, tray, window_manager, wayland):
        if wayland:
            self._start_compositor(wayland)
        else:
            self._start_display()
        if window_manager:
            self._start(["openbox", "--sm-disable"])
            wait_for(lambda: "window id" in subprocess.run(
                ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                capture_output=True, text=True).stdout, what="the window manager")
        self._start_buses()
        if tray:
            self.start_tray()
        self.socket = os.path.join(self.dir, "mouse.sock")
        self.emulator = self._start([EMULATOR, "serve", "--socket", self.socket],
                                    stdout=subprocess.PIPE)
        line = self.emulator.stdout.readline().decode().strip()
        assert line.startswith("serving"), line
        self.env["VELTRIX_EMULATOR"] = self.socket
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})

    # --- the pieces -----------------------------------------------------------------------
    def _start(self, argv, **kwargs):
        kwargs.setdefault("stdout", subprocess.DEVNULL)
        with open(os.path.join(self.dir, os.path.basename(argv[0]) + ".log"), "ab") as log:
            kwargs.setdefault("stderr", log)
            process = subprocess.Popen(argv, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def _start_display(self):
        read, write = os.pipe()
        self._start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write,))
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise AssertionError("Xvfb did not start")
            number += chunk
        os.close(read)
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def _start_compositor(self, platform):
        """A headless Wayland compositor with XWayland beside it: WAYLAND_DISPLAY for native
        Wayland clients, DISPLAY for X11 ones. Raises unittest.SkipTest where none can run."""
        if not shutil.which("sway"):
            raise unittest.SkipTest("no Wayland compositor: sway is not installed "
                                    "(scripts/install-deps.sh installs it)")
        run_as = []
        if os.getuid() == 0:
            # The compositor refuses to run as root: it runs as a user of its own.
            if subprocess.run(["id", SWAY_USER], capture_output=True).returncode != 0:
                subprocess.run(["useradd", "--system", "--no-create-home", "--shell",
                                "/usr/sbin/nologin", SWAY_USER], check=True)
            os.chmod(self.dir, 0o755)
            run_as = ["runuser", "-u", SWAY_USER, "--"]
        home = os.path.join(self.dir, "sway")
        runtime = os.path.join(home, "run")
        os.makedirs(runtime, mode=0o700)
        ready = os.path.join(home, "ready")
        config = os.path.join(home, "config")
        # XWayland admits only the compositor's user: it opens the server to the test's
        # clients (a private server, on local sockets only), then says where everything is.
        opener = os.path.join(home, "open-x.py")
        with open(opener, "w") as f:
            f.write("import ctypes\n"
                    "x = ctypes.CDLL('libX11.so.6')\n"
                    "x.XOpenDisplay.restype = ctypes.c_void_p\n"
                    "d = ctypes.c_void_p(x.XOpenDisplay(None))\n"
                    "x.XDisableAccessControl(d)\n"
                    "x.XCloseDisplay(d)\n")
        with open(config, "w") as f:
            f.write("xwayland force\n"
                    "output HEADLESS-1 resolution 1280x800\n"
                    f"exec sh -c 'python3 {opener} && echo \"$WAYLAND_DISPLAY $DISPLAY\" > "
                    f"{ready}.tmp && mv {ready}.tmp {ready}'\n")
        if run_as:
            shutil.chown(home, SWAY_USER)
            shutil.chown(runtime, SWAY_USER)
        env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_RUNTIME_DIR": runtime,
               "WLR_BACKENDS": "headless", "WLR_RENDERER": "pixman",
               "WLR_LIBINPUT_NO_DEVICES": "1"}
        self._start(run_as + ["env", "-i"] + [f"{k}={v}" for k, v in env.items()] +
                    ["sway", "-c", config])
        try:
            wait_for(lambda: os.path.exists(ready), what="the compositor")
        except AssertionError:
            raise unittest.SkipTest("the Wayland compositor did not start (its log is in the test folder)")
        with open(ready) as f:
            wayland, display = f.read().split()
        self.env["WAYLAND_DISPLAY"] = os.path.join(runtime, wayland)
        self.env["DISPLAY"] = display
        self.env["QT_QPA_PLATFORM"] = platform

    def _start_buses(self):
        bus = self._start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self._start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        wait_for(lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True).returncode == 0,
            what="the accessibility bus")

    def start_tray(self):
        self._start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                     "--width", "60", "--height", "24"])
        wait_for(self._tray_owned, what="the notification area")

    def tray_icons(self):
        """The windows that the notification area holds: the icons embedded in it."""
        tray = subprocess.run(["xdotool", "search", "--class", "trayer"], env=self.env,
                              capture_output=True, text=True).stdout.split()
        tree = "".join(subprocess.run(["xwininfo", "-tree", "-id", w], env=self.env,
                                      capture_output=True, text=True).stdout for w in tray)
        return [line for line in tree.splitlines() if "veltrix" in line.lower()]

    def _tray_owned(self):
        owner = subprocess.run(["xdotool", "search", "--class", "trayer"], env=self.env,
                               capture_output=True)
        return owner.returncode == 0 and owner.stdout.strip() != b""

    def start_notifications(self):
        """A notification service of the test's own on the session bus; returns the file where
        each notification it gets is one JSON line."""
        path = os.path.join(self.dir, "notifications.jsonl")
        service = self._start([sys.executable, os.path.join(os.path.dirname(__file__),
                                                            "notifications.py"), path],
                              stdout=subprocess.PIPE)
        line = service.stdout.readline().decode().strip()
        assert line == "serving", line
        return path

    # --- the program ------------------------------------------------------------------------
    def start_program(self, *args):
        self.program = self.run_program(*args)
        return self.program

    def run_program(self, *args):
        return self._start([PROGRAM, *args], stdout=subprocess.PIPE)

    def mouse(self, *command):
        result = subprocess.run([EMULATOR, "ctl", "--socket", self.socket, *command],
                                env=self.env, capture_output=True, text=True, check=True)
        return result.stdout

    def log(self):
        return [line for line in self.mouse("log").splitlines() if line]

    def settings_file(self):
        return os.path.join(self.env["XDG_DATA_HOME"], "veltrix-wireless", "Data", "ms_1",
                            "Config_1.data")

    def visible_windows(self, name):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                                env=self.env, capture_output=True, text=True)
        return [w for w in result.stdout.split() if w]

    def focused_window_name(self):
        result = subprocess.run(["xdotool", "getwindowfocus", "getwindowname"], env=self.env,
                                capture_output=True, text=True)
        return result.stdout.strip()

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                pass
            # What a process left in its group (the compositor under runuser) goes too.
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
            if process.stdout is not None:
                process.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)


class Screen:
    """The program as a screen reader sees it."""

    def __init__(self):
        import pyatspi  # after the buses exist: it connects on import
        self.pyatspi = pyatspi

    def app(self, pid=None):
        """The program on the accessibility bus; with a pid, that process's."""
        desktop = self.pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            child = desktop.getChildAtIndex(i)
            if child is not None and child.name == "veltrix-wireless" and (
                    pid is None or child.get_process_id() == pid):
                return child
        return None

    def find(self, role, name, root=None):
        """The first object of that role and accessible name, or None. A combo box reads its
        current item as its name, so its own name is its description."""
        root = root or self.app()
        if root is None:
            return None
        return self.pyatspi.findDescendant(
            root, lambda o: o.getRoleName() == role and (
                o.name == name or (role == "combo box" and o.description == name)),
            breadth_first=True)

    def wait(self, role, name, timeout=PATIENCE):
        return wait_for(lambda: self.find(role, name), timeout, f"{role} '{name}'")

    def press(self, role, name):
        control = self.wait(role, name)
        control.queryAction().doAction(0)
        return control

    def showing(self, accessible):
        return accessible.getState().contains(self.pyatspi.STATE_SHOWING)

    def find_showing(self, role, name, root=None):
        """The first object of that role and name that is on screen, or None."""
        root = root or self.app()
        if root is None:
            return None
        return self.pyatspi.findDescendant(
            root, lambda o: o.getRoleName() == role and o.name == name and self.showing(o),
            breadth_first=True)

    def find_showing_where(self, role, named, also=None, root=None):
        """The first object on screen of that role whose name passes `named` (and `also`)."""
        root = root or self.app()
        if root is None:
            return None
        return self.pyatspi.findDescendant(
            root, lambda o: o.getRoleName() == role and named(o.name) and self.showing(o) and
            (also is None or also(o)), breadth_first=True)

    def wait_showing(self, role, name, root=None, timeout=PATIENCE):
        return wait_for(lambda: self.find_showing(role, name, root), timeout,
                        f"{role} '{name}' on screen")

    def extents(self, accessible):
        box = accessible.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def click(self, accessible):
        """A real click of the pointer in the middle of the object, through XTest."""
        x, y, width, height = self.extents(accessible)
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2),
                        "click", "1"], check=True)
