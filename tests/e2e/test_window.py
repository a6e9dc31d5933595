"""The window as a user and a screen reader meet it, with the emulated mouse."""

import json
import os
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop import PROGRAM, Desktop, Screen, wait_for  # noqa: E402

TITLE = "Veltrix Wireless"
NO_MOUSE = ("No mouse connected. Plug in the receiver, or connect the mouse with its "
            "cable.")
ASLEEP = "The mouse is asleep. Press any of its buttons to wake it."


def current_profile(path):
    with open(path, "rb") as f:
        return struct.unpack("<i", f.read(4))[0]


class WindowTest(unittest.TestCase):
    def open_desktop(self, tray=True, lang="C.UTF-8", window_manager=False):
        desktop = Desktop(tray=tray, lang=lang, window_manager=window_manager)
        self.addCleanup(desktop.close)
        return desktop

    def test_a_users_session(self):
        d = self.open_desktop()
        d.start_program()
        screen = Screen()
        frame = screen.wait("frame", TITLE)
        wait_for(lambda: d.visible_windows(TITLE), what="the window on screen")
        # Every list a screen reader meets tells what it chooses, on the page it is met on
        # (a page is built when first shown, the buttons' editing panel when a button is chosen).
        for page, name in (("Buttons", "Function type"), ("DPI", "Report rate"),
                           ("Lighting", "Lighting mode"), ("Macros", "Mouse action")):
            screen.press("radio button", page)
            screen.wait_showing("filler", f"{page} page")
            if page == "Buttons":
                screen.press("check box", "Button 3: Wheel click")
                screen.wait_showing("push button", "Apply")
            self.assertIsNotNone(screen.find("combo box", name), name)
        # The mouse has answered once its first status report shows as a notice.
        wait_for(lambda: screen.find("label", "DPI :1000") is not None, what="the first report")

        # Profile 3 from the window: the mouse is switched and the file keeps it.
        d.mouse("clear-log")
        screen.press("radio button", "Profile 3")
        wait_for(lambda: "0c 04 03 05" in d.log(), what="the commit of profile 3")
        wait_for(lambda: current_profile(d.settings_file()) == 2, what="the saved profile")

        # A second start asks the first to show itself and leaves with 1.
        second = d.run_program()
        self.assertEqual(second.wait(timeout=20), 1)

        # Unplugging the receiver hides the window; the program lives on in the tray.
        d.mouse("unplug", "receiver")
        wait_for(lambda: not d.visible_windows(TITLE), what="the window to hide")
        time.sleep(0.5)
        self.assertIsNone(d.program.poll())

    def test_a_notice_leaves_the_focus_where_it_was(self):
        # A window manager, and the user typing in another program when the mouse's DPI button
        # is pressed: the notice shows in the corner and the typing goes on where it was.
        d = self.open_desktop(window_manager=True)
        d.start_program()
        screen = Screen()
        wait_for(lambda: d.visible_windows(TITLE), what="the window on screen")
        # The first status report names level 1, so the notice of the next level reads 1600.
        wait_for(lambda: screen.find("label", "DPI :1000") is not None, what="the first report")
        wait_for(lambda: not self.notice_showing(screen, "DPI :1000"), timeout=6,
                 what="the first notice to close")
        d._start(["xmessage", "-title", "Typing here", "The user types here"])
        wait_for(lambda: d.focused_window_name() == "Typing here", what="the other program's focus")
        d.mouse("dpi-button")
        shown = time.monotonic()  # from the press: seeing it show can lag behind
        wait_for(lambda: self.notice_showing(screen, "DPI :1600"), what="the DPI notice")
        while self.notice_showing(screen, "DPI :1600"):
            self.assertEqual(d.focused_window_name(), "Typing here")
            self.assertLess(time.monotonic() - shown, 6, "the notice did not close")
            time.sleep(0.1)
        self.assertGreater(time.monotonic() - shown, 1.0)
        self.assertEqual(d.focused_window_name(), "Typing here")

    @staticmethod
    def notice_showing(screen, text):
        label = screen.find("label", text)
        return label is not None and screen.showing(label)

    def test_starts_hidden_in_the_tray_and_tells_of_a_low_battery_once_per_discharge(self):
        d = self.open_desktop()
        notes = d.start_notifications()
        d.start_program("--hidden")
        screen = Screen()
        wait_for(screen.app, what="the program on the accessibility bus")
        time.sleep(1.5)
        self.assertEqual(d.visible_windows(TITLE), [])
        self.assertIsNone(d.program.poll())

        def told():
            if not os.path.exists(notes):
                return []
            with open(notes) as f:
                return [json.loads(line) for line in f if line.strip()]

        # The last bar: one notification, with the program's icon, however many status reports
        # (about one a second) follow.
        d.mouse("battery", "1")
        note = wait_for(told, what="the low-battery notification")[0]
        self.assertEqual((note["app"], note["icon"], note["replaces"], note["summary"]),
                         (TITLE, "veltrix-wireless", 0, "Mouse battery low"))
        d.mouse("battery", "2")
        time.sleep(2.5)
        d.mouse("battery", "1")
        time.sleep(2.5)
        self.assertEqual(len(told()), 1, "one bar up and down again is no charge")

        # Charged, then down to the last bar again: told again.
        d.mouse("battery", "4")
        time.sleep(2.5)
        d.mouse("battery", "1")
        wait_for(lambda: len(told()) == 2, what="the second discharge's notification")
        time.sleep(2.5)
        self.assertEqual(len(told()), 2)

    def test_a_notification_area_that_comes_later_gets_the_icon(self):
        # At login the program may start before the desktop's panel.
        d = self.open_desktop(tray=False)
        d.start_program("--hidden")
        screen = Screen()
        wait_for(screen.app, what="the program on the accessibility bus")
        time.sleep(4)
        d.start_tray()
        wait_for(d.tray_icons, what="the icon in the notification area")
        time.sleep(8)  # past the wait for a notification area
        self.assertEqual(d.visible_windows(TITLE), [])
        self.assertIsNone(d.program.poll())

    def test_help_and_version_need_no_display(self):
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for option, text in (("--help", "--hidden"), ("--version", "veltrix-wireless ")):
            result = subprocess.run([PROGRAM, option], env=env, capture_output=True, text=True,
                                    timeout=20)
            self.assertEqual(result.returncode, 0, option)
            self.assertIn(text, result.stdout)

    def test_without_a_notification_area_the_window_is_never_lost(self):
        d = self.open_desktop(tray=False)
        d.start_program("--hidden")
        screen = Screen()
        frame = screen.wait("frame", TITLE)
        wait_for(lambda: d.visible_windows(TITLE), what="the window, shown despite --hidden")
        screen.press("push button", "Close")
        time.sleep(1)
        self.assertIsNone(d.program.poll())
        # Close did not hide it: without a window manager a minimised window stays mapped.
        self.assertTrue(screen.showing(frame))
        self.assertTrue(d.visible_windows(TITLE))

    def test_a_damaged_settings_file_is_kept_and_never_used(self):
        """A 0-byte file (a full disk) would read as a record of zeros, every button off, and a
        FIFO would hang the start: both are unreadable, kept until the user changes a setting,
        then kept beside the new file under the name the warning gave."""
        d = self.open_desktop()
        file = d.settings_file()
        folder = os.path.dirname(file)
        os.makedirs(folder)
        screen = None
        for what, make in (("empty", lambda path: open(path, "wb").close()),
                           ("a FIFO", os.mkfifo)):
            with self.subTest(what):
                for name in os.listdir(folder):
                    os.remove(os.path.join(folder, name))
                make(file)
                shape = os.stat(file).st_mode, os.stat(file).st_size
                program = d.start_program()
                screen = screen or Screen()
                app = wait_for(lambda: screen.app(program.pid), what="the program")
                warning = wait_for(lambda: screen.find_showing_where(
                    "label", lambda name: name.startswith("Your settings file could not be read"),
                    root=app), what="the warning")
                copy = os.path.join(folder, warning.name.rsplit(" as ", 1)[1].rstrip("."))
                self.assertTrue(copy.startswith(file + ".unreadable-"), warning.name)
                screen.wait_showing("push button", "OK", app).queryAction().doAction(0)
                wait_for(lambda: not screen.find_showing("push button", "OK", app),
                         what="the warning to close")
                time.sleep(0.5)
                self.assertEqual((os.stat(file).st_mode, os.stat(file).st_size), shape)
                self.assertFalse(os.path.lexists(copy))

                screen.press("radio button", "Profile 3")
                wait_for(lambda: os.path.isfile(file) and os.path.getsize(file) == 164364 and
                         current_profile(file) == 2, what="the first save")
                self.assertEqual((os.stat(copy).st_mode, os.stat(copy).st_size), shape)
                program.terminate()
                program.wait(timeout=20)

    def test_without_a_mouse_or_a_runtime_folder_a_second_start_is_answered(self):
        d = self.open_desktop(tray=False)
        # No runtime folder: the lock and the socket must not go to the shared temporary folder.
        del d.env["XDG_RUNTIME_DIR"]
        tmp = os.path.join(d.dir, "tmp")
        os.makedirs(tmp)
        d.env["TMPDIR"] = tmp
        d.mouse("unplug", "receiver")
        first = d.start_program()
        screen = Screen()
        frame = screen.wait("frame", TITLE)
        # With nowhere to hide, the window shows that no mouse is there, not the pages.
        screen.wait_showing("label", NO_MOUSE)
        self.assertIsNone(screen.find_showing("label", ASLEEP))

        # A second start finds the first, which warns; the second gives up waiting after 5 s
        # while the warning is still open, and the first must live on once it is confirmed.
        second = d.run_program()
        ok = screen.wait_showing("push button", "OK")
        self.assertEqual(second.wait(timeout=20), 1)
        time.sleep(1)
        ok.queryAction().doAction(0)
        time.sleep(1)
        self.assertIsNone(first.poll())
        self.assertTrue(screen.showing(frame))
        # (Qt itself may make a runtime folder there: that one is not ours to move.)
        ours = [name for _, _, names in os.walk(tmp) for name in names if "veltrix" in name]
        self.assertEqual(ours, [])

    def test_a_lock_left_by_a_killed_program_does_not_block(self):
        d = self.open_desktop()
        first = d.start_program()
        screen = Screen()
        screen.wait("frame", TITLE)
        first.kill()
        first.wait()
        again = d.start_program()
        new_frame = wait_for(lambda: screen.find("frame", TITLE, screen.app(again.pid)),
                             what="the window of the new start")
        wait_for(lambda: screen.showing(new_frame), what="the new window on screen")
        self.assertIsNone(again.poll())

    def test_speaks_the_desktops_language(self):
        d = self.open_desktop(lang="de_DE.UTF-8")
        first = d.start_program()
        screen = Screen()
        screen.wait("radio button", "Profil 3")
        # Qt's own file dialog speaks it too.
        screen.press("push button", "Profil exportieren")
        dialog = wait_for(lambda: screen.find_showing_where(
            "dialog", lambda _: True, lambda o: screen.find_showing("text", "Dateiname:", o)),
            what="the file dialog in German")
        screen.find_showing("push button", "Abbrechen", dialog).queryAction().doAction(0)
        wait_for(lambda: not screen.showing(dialog), what="the file dialog to close")

        # A language the skin has no file for: English.
        first.kill()
        first.wait()
        d.env["LANG"] = "sw_KE.UTF-8"
        again = d.start_program()
        wait_for(lambda: screen.find("radio button", "Profile 3", screen.app(again.pid)),
                 what="English names")


if __name__ == "__main__":
    unittest.main(verbosity=2)
