"""The four setting pages and the profile files, used as a screen reader user would, with the
emulated mouse: what the mouse receives is compared with what veltrixctl says the saved settings
make it receive."""

import json
import os
import signal
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop import BIN, Desktop, Screen, wait_for  # noqa: E402

TITLE = "Veltrix Wireless"
VELTRIXCTL = os.path.join(BIN, "veltrixctl")

PROFILE_SIZE = 32872
MACRO_SIZE = 240
BUTTON_SIZE = 1268
BUTTONS_AT = 2440  # in a profile
NAME_AT, NAME_BYTES = 16, 48  # in a button entry
MACRO_INDEX_AT = 1072  # in a button entry
STEPS_AT = 56  # in a macro record
LEVEL_AT, RATE_AT = 4 + 2352, 4 + 2356  # the first profile's, in the settings file


def profile_bytes(settings, index):
    start = 4 + index * PROFILE_SIZE
    return settings[start:start + PROFILE_SIZE]


def button_bytes(profile, index):
    start = BUTTONS_AT + index * BUTTON_SIZE
    return profile[start:start + BUTTON_SIZE]


def name_field(text):
    raw = text.encode("utf-16-le")
    return raw + bytes(NAME_BYTES - len(raw))


def macro_record(name, steps):
    """A macro.data record: the name, a count and 46 (key, direction, delay) steps."""
    body = b"".join(struct.pack("<BBH", *step) for step in steps)
    return (name_field(name) + struct.pack("<ii", 0, len(steps)) + body
            + bytes(MACRO_SIZE - STEPS_AT - len(body)))


def read(path):
    with open(path, "rb") as f:
        return f.read()


# Two clicks, left then right: no key codes needed.
GREETING = macro_record("Greeting", [(241, 1, 30), (241, 2, 30), (242, 1, 30), (242, 2, 0)])


class PagesTest(unittest.TestCase):
    # --- the session ------------------------------------------------------------------------
    def open_session(self, macros=b"", **desktop):
        self.d = Desktop(**desktop)
        self.addCleanup(self.d.close)
        self.folder = os.path.dirname(self.d.settings_file())
        if macros:
            os.makedirs(self.folder)
            with open(self.macro_file(), "wb") as f:
                f.write(macros)
        self.d.start_program()
        self.s = Screen()
        self.s.wait("frame", TITLE)
        # The mouse is awake once the window shows its battery.
        wait_for(lambda: self.s.find_showing_where(
            "label", lambda name: name.endswith("%")), what="the battery level")
        self.wait_quiet()
        self.d.mouse("clear-log")

    def macro_file(self):
        return os.path.join(self.folder, "macro.data")

    def wait_quiet(self):
        wait_for(lambda: not self.s.find_showing("filler", "Sending to the mouse"),
                 what="the end of sending")

    def reports(self, wparam, lparam):
        result = subprocess.run(
            [VELTRIXCTL, "reports", self.d.settings_file(), str(wparam), str(lparam)],
            capture_output=True, text=True)
        return result.stdout.splitlines() if result.returncode == 0 else None

    def expect_reports(self, wparam, lparam):
        """The mouse received exactly the reports of one request (W, L) for the saved file."""
        try:
            wait_for(lambda: self.d.log() == self.reports(wparam, lparam),
                     what=f"the reports of ({wparam}, {lparam}) for the saved file")
        except AssertionError:
            self.assertEqual(self.d.log(), self.reports(wparam, lparam))
            raise
        self.wait_quiet()
        self.assertEqual(self.d.log(), self.reports(wparam, lparam))
        self.d.mouse("clear-log")

    # --- controls ---------------------------------------------------------------------------
    def page(self, name):
        self.s.press("radio button", name)
        self.s.wait_showing("filler", f"{name} page")

    def combo_offering(self, item):
        """A list's accessible name is its current item's text on this platform, so a combo box
        is known by an item only it offers."""
        def find():
            return self.s.find_showing_where(
                "combo box", lambda _: True,
                lambda o: self.s.pyatspi.findDescendant(
                    o, lambda c: c.getRoleName() == "list item" and c.name == item) is not None)
        return wait_for(find, what=f"the list that offers '{item}'")

    def choose(self, offered_by, item):
        """Opens the list with a click and clicks the item in its popup, through XTest."""
        combo = self.combo_offering(offered_by)
        entry = self.s.pyatspi.findDescendant(
            combo, lambda c: c.getRoleName() == "list item" and c.name == item)
        for attempt in range(3):
            self.s.click(combo)
            try:
                wait_for(lambda: self.s.showing(entry.parent), timeout=5, what="the open list")
                break
            except AssertionError:
                if attempt == 2:
                    raise
        self.s.click(entry)
        wait_for(lambda: not self.s.showing(entry.parent), what="the list to close")

    def mouse_button(self, number):
        """"Button N", or "Button N: <function>" once it shows a function."""
        prefix = f"Button {number}"
        return wait_for(lambda: self.s.find_showing_where(
            "check box", lambda name: name == prefix or name.startswith(prefix + ":")),
            what=prefix)

    def edit_button(self, number, category):
        self.mouse_button(number).queryAction().doAction(0)
        self.s.wait_showing("push button", "Apply")
        self.choose("Keyboard key", category)

    def answer_file_dialog(self, path):
        """Qt's own file dialog: the path typed into its file name and the dialog accepted."""
        dialog = wait_for(lambda: self.s.find_showing_where(
            "dialog", lambda _: True,
            lambda o: self.s.find_showing("text", "File name:", o) is not None),
            what="the file dialog")
        edit = self.s.find_showing("text", "File name:", dialog)
        edit.queryEditableText().setTextContents(path)
        accept = wait_for(lambda: self.s.find_showing_where(
            "push button", lambda name: name in ("Save", "Open"), root=dialog),
            what="the accept button")
        wait_for(lambda: accept.getState().contains(self.s.pyatspi.STATE_ENABLED),
                 what="the accept button enabled")
        accept.queryAction().doAction(0)
        wait_for(lambda: not self.s.showing(dialog), what="the file dialog to close")

    @staticmethod
    def text(accessible):
        return accessible.queryText().getText(0, -1)

    def saved_steps(self, index):
        """(key code, direction) of each step of macro `index` in macro.data."""
        data = read(self.macro_file())
        record = data[index * MACRO_SIZE:(index + 1) * MACRO_SIZE]
        if len(record) < MACRO_SIZE:
            return None
        count = struct.unpack_from("<i", record, 52)[0]
        return [tuple(record[STEPS_AT + 4 * i:STEPS_AT + 4 * i + 2]) for i in range(count)]

    def expect_saved_steps(self, index, steps):
        self.s.press("push button", "Save")
        try:
            wait_for(lambda: os.path.exists(self.macro_file()) and
                     self.saved_steps(index) == steps, what=f"the steps of macro {index + 1}")
        except AssertionError:
            self.assertEqual(self.saved_steps(index), steps)
            raise

    def checked(self, accessible):
        return accessible.getState().contains(self.s.pyatspi.STATE_CHECKED)

    def move_pointer_to(self, accessible):
        x, y, width, height = self.s.extents(accessible)
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2)],
                       check=True)

    @staticmethod
    def type_until_seen(key, seen):
        """The hook starts on a thread of its own, so a key pressed at once may come before it
        listens: the key is pressed again until the program has seen it."""
        for attempt in range(10):
            subprocess.run(["xdotool", "key", key], check=True)
            try:
                wait_for(seen, timeout=2, what=f"the key {key}")
                return
            except AssertionError:
                if attempt == 9:
                    raise

    def plug_keyboard(self):
        """A virtual keyboard with the standard layout that stays plugged in, as a real one does,
        while the test types through it key by key: the window keeps the compositor's keyboard
        focus meanwhile. The compositor hands its keymap to XWayland too, and the program
        stores keys by their place on that layout."""
        keyboard = subprocess.Popen(
            [sys.executable, os.path.join(os.path.dirname(__file__), "keyboard.py")],
            stdin=subprocess.PIPE, env=self.d.env, text=True)

        def unplug():
            keyboard.stdin.close()
            keyboard.wait(timeout=10)
        self.addCleanup(unplug)

        def press(*keys):
            keyboard.stdin.write("".join(f"{key}\n" for key in keys))
            keyboard.stdin.flush()
        return press

    def record_abc_on_wayland(self, platform):
        """Typed into the window through the compositor's virtual keyboard, "abc" is recorded
        as six steps, whichever platform the window runs on."""
        self.open_session(wayland=platform)
        self.page("Macros")
        actions = self.s.wait_showing("list", "Action list")
        macros = self.s.wait_showing("list", "Macro list")
        # A screen reader's press clicks a moment later: the new macro, which ends any
        # recording, comes before Record is pressed.
        self.s.press("push button", "New macro")
        wait_for(lambda: macros.childCount == 1, what="the new macro")
        record = self.s.press("check box", "Record")
        wait_for(lambda: self.checked(record), what="the recording")
        press = self.plug_keyboard()
        for attempt in range(10):  # the X11 hook listens from its own thread, soon after
            press("a")
            try:
                wait_for(lambda: actions.childCount >= 2, timeout=2, what="the key a")
                break
            except AssertionError:
                if attempt == 9:
                    raise
        press("b", "c")
        wait_for(lambda: actions.childCount >= 6, what="the keys b and c")
        self.s.press("check box", "Record")
        wait_for(lambda: not self.checked(record), what="the end of the recording")
        self.expect_saved_steps(0, [(4, 1), (4, 2), (5, 1), (5, 2), (6, 1), (6, 2)])
        return press

    # --- the tests ------------------------------------------------------------------------------
    def test_native_wayland_records_and_tells_notices_without_the_focus(self):
        press = self.record_abc_on_wayland("wayland")
        notes = self.d.start_notifications()
        # Notices are the desktop's notifications, each replacing the last: no window of the
        # program's own takes the focus or the screen.
        self.d.mouse("dpi-button")
        wait_for(lambda: os.path.exists(notes) and len(read(notes).splitlines()) == 1,
                 what="the notice")
        self.d.mouse("dpi-button")
        wait_for(lambda: len(read(notes).splitlines()) == 2, what="the second notice")
        first, second = (json.loads(line) for line in read(notes).splitlines())
        self.assertEqual((first["replaces"], second["replaces"]), (0, 1))
        self.assertEqual((first["timeout"], second["timeout"]), (2000, 2000))
        self.assertTrue(first["summary"].startswith("DPI"), first)
        self.assertIsNone(self.s.find_showing("label", second["summary"]))

        # A key capture, from the keyboard alone: the key reaches the field through the window.
        self.page("Buttons")
        self.wait_quiet()
        self.d.mouse("clear-log")
        self.mouse_button(9).queryAction().doAction(0)
        self.s.wait_showing("push button", "Apply")
        combo = self.combo_offering("Keyboard key")
        entry = self.s.pyatspi.findDescendant(
            combo, lambda c: c.getRoleName() == "list item" and c.name == "Keyboard key")
        combo.queryAction().doAction(0)
        wait_for(lambda: self.s.showing(entry.parent), what="the open list")
        press("HOME", *["DOWN"] * entry.getIndexInParent(), "ENTER")
        key = self.s.wait_showing("text", "Key")
        for attempt in range(20):  # Tab through the panel up to the field
            press("TAB")
            try:
                wait_for(lambda: self.text(key) == "Press a key", timeout=1,
                         what="the field waiting")
                break
            except AssertionError:
                if attempt == 19:
                    raise
        press("F7")
        wait_for(lambda: self.text(key) == "F7", what="the key F7")
        press("TAB")
        wait_for(lambda: self.s.find_showing("push button", "Apply").getState().contains(
            self.s.pyatspi.STATE_FOCUSED), what="Apply with the focus")
        press("SPACE")
        self.expect_reports(1, 0)
        button = button_bytes(profile_bytes(read(self.d.settings_file()), 0), 8)
        self.assertEqual((button[1], button[3]), (16, 0x40))  # the keyboard's F7

    def test_through_xwayland_records_what_is_typed_into_the_window(self):
        self.record_abc_on_wayland("xcb")

    def test_buttons_get_a_key_a_media_function_and_a_macro(self):
        self.open_session(macros=GREETING)

        self.edit_button(9, "Keyboard key")
        key = self.s.wait_showing("text", "Key")
        self.s.click(key)
        self.type_until_seen("k", lambda: self.text(key) == "K")
        self.s.press("push button", "Apply")
        self.expect_reports(1, 0)
        self.mouse_button(9)
        self.assertIsNotNone(self.s.find_showing("check box", "Button 9: K"))

        # A key field left waiting when the user turns to another page hears nothing more.
        self.edit_button(9, "Keyboard key")
        self.s.click(key)
        wait_for(lambda: self.text(key) == "Press a key", what="the field waiting")
        self.page("DPI")
        subprocess.run(["xdotool", "key", "x"], check=True)
        self.page("Buttons")
        # The x typed meanwhile is not the key.
        self.s.wait_showing("push button", "Apply").queryComponent().grabFocus()
        wait_for(lambda: self.text(key) == "K", what="the key shown again")
        # From the keyboard alone: the field takes the focus and one key, Tab reaches Apply and
        # Space presses it.
        key.queryComponent().grabFocus()
        subprocess.run(["xdotool", "key", "a"], check=True)
        wait_for(lambda: self.text(key) == "A", what="the key A")
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        wait_for(lambda: self.s.find_showing("push button", "Apply").getState().contains(
            self.s.pyatspi.STATE_FOCUSED), what="Apply with the focus")
        subprocess.run(["xdotool", "key", "space"], check=True)
        self.expect_reports(1, 0)
        self.assertIsNotNone(self.s.find_showing("check box", "Button 9: A"))
        # Escape while the field waits is the key; the next Escape cancels the edit.
        self.edit_button(9, "Keyboard key")
        key.queryComponent().grabFocus()
        wait_for(lambda: self.text(key) == "Press a key", what="the field waiting")
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        wait_for(lambda: self.text(key) == "Esc", what="the key Esc")
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        wait_for(lambda: not self.s.find_showing("push button", "Apply"), what="the edit closed")
        self.assertIsNotNone(self.s.find_showing("check box", "Button 9: A"))

        self.edit_button(10, "Media and apps")
        self.choose("Play/pause", "Volume up")
        self.s.press("push button", "Apply")
        self.expect_reports(1, 0)
        self.assertIsNotNone(self.s.find_showing("check box", "Button 10: Volume up"))

        self.edit_button(8, "Macro")
        self.choose("Greeting", "Greeting")
        self.s.press("push button", "Apply")
        self.expect_reports(1, 0)
        self.assertIsNotNone(self.s.find_showing("check box", "Button 8: Greeting"))

        buttons = profile_bytes(read(self.d.settings_file()), 0)
        self.assertEqual(button_bytes(buttons, 8)[1:4], bytes([16, 4, 4]))  # the key A
        self.assertEqual(button_bytes(buttons, 7)[1], 17)  # a macro
        self.assertEqual(button_bytes(buttons, 7)[NAME_AT:NAME_AT + NAME_BYTES],
                         name_field("Greeting"))

        # Button 8 moves on to a key; deleting the macro it ran before leaves the key in place,
        # in the file and on the mouse.
        self.edit_button(8, "Keyboard key")
        key = self.s.wait_showing("text", "Key")
        self.s.click(key)
        self.type_until_seen("j", lambda: key.queryText().getText(0, -1) == "J")
        self.s.press("push button", "Apply")
        self.expect_reports(1, 0)
        self.page("Macros")
        self.s.click(self.s.wait_showing("list", "Macro list").getChildAtIndex(0))
        self.s.press("push button", "Delete macro")
        self.s.wait_showing("push button", "OK").queryAction().doAction(0)
        wait_for(lambda: self.s.find("list", "Macro list").childCount == 0, what="the deletion")
        self.wait_quiet()
        self.page("Buttons")
        self.assertIsNotNone(self.s.find_showing("check box", "Button 8: J"))
        self.assertEqual(self.d.log(), [], "no button lost its function")
        button = button_bytes(profile_bytes(read(self.d.settings_file()), 0), 7)
        self.assertEqual(button[1:3], bytes([16, 4]))  # still a key
        self.assertEqual(button[NAME_AT:NAME_AT + NAME_BYTES], bytes(NAME_BYTES))

        # A profile switch, from the mouse's own button or from the window, closes an open edit
        # as Cancel does: nothing it held can reach the profile switched to.
        for switch in (lambda: self.d.mouse("profile-button"),
                       lambda: self.s.press("radio button", "Profile 3")):
            self.edit_button(2, "Media and apps")
            switch()
            wait_for(lambda: not self.s.find_showing("push button", "Apply"),
                     what="the edit to close")

    def test_a_recording_hears_what_the_user_means_while_they_are_there(self):
        self.open_session()
        self.page("Macros")
        actions = self.s.wait_showing("list", "Action list")
        record = self.s.wait_showing("check box", "Record")
        press, release = 1, 2
        macros = self.s.wait_showing("list", "Macro list")

        def new_macro():
            count = macros.childCount
            self.s.press("push button", "New macro")
            wait_for(lambda: macros.childCount == count + 1 and actions.childCount == 0,
                     what="the new macro")

        # Started and stopped by real clicks, the pointer resting on Record: the keys alone.
        new_macro()
        self.s.click(record)
        wait_for(lambda: self.checked(record), what="the recording")
        self.type_until_seen("b", lambda: actions.childCount >= 2)
        self.s.click(record)
        wait_for(lambda: not self.checked(record), what="the end of the recording")
        self.expect_saved_steps(0, [(5, press), (5, release)])

        # Started and stopped with Space: a click on the desktop between is recorded.
        new_macro()
        self.move_pointer_to(actions)
        record.queryComponent().grabFocus()
        wait_for(lambda: record.getState().contains(self.s.pyatspi.STATE_FOCUSED),
                 what="Record with the focus")
        subprocess.run(["xdotool", "key", "space"], check=True)
        wait_for(lambda: self.checked(record), what="the recording")
        for attempt in range(10):  # until the hook listens
            subprocess.run(["xdotool", "mousemove", "5", "5", "click", "1"], check=True)
            try:
                wait_for(lambda: actions.childCount >= 2, timeout=2, what="the click")
                break
            except AssertionError:
                if attempt == 9:
                    raise
        self.move_pointer_to(actions)
        subprocess.run(["xdotool", "key", "c", "space"], check=True)
        wait_for(lambda: not self.checked(record), what="the end of the recording")
        self.expect_saved_steps(1, [(241, press), (241, release), (6, press), (6, release)])

        # The window closed to the tray ends the recording: what is typed then stays out.
        new_macro()
        self.s.press("check box", "Record")
        self.type_until_seen("d", lambda: actions.childCount >= 2)
        self.s.press("push button", "Close")
        wait_for(lambda: not self.d.visible_windows(TITLE), what="the window to hide")
        subprocess.run(["xdotool", "key", "e", "f", "g"], check=True)
        self.assertEqual(self.d.run_program().wait(timeout=20), 1)
        wait_for(lambda: self.d.visible_windows(TITLE), what="the window again")
        self.assertFalse(self.checked(record))
        self.assertEqual(actions.childCount, 2)
        self.expect_saved_steps(2, [(7, press), (7, release)])

    def test_dpi_and_lighting_changes_reach_the_mouse_once(self):
        self.open_session()
        self.page("DPI")

        # A screen reader toggles a level button; the level becomes the current one.
        self.s.press("radio button", "DPI level 3")
        self.expect_reports(2, 0)
        # Three moves of a slider in a row are one change.
        slider = self.s.wait_showing("slider", "DPI level 2 value").queryValue()
        for value in (20, 30, 40):
            slider.currentValue = value
        self.expect_reports(2, 0)
        self.assertIsNotNone(self.s.find_showing("label", "4000"))

        self.s.press("push button", "DPI level 1 colour")
        swatch = self.s.wait_showing("push button", "Colour 3")
        swatch.queryAction().doAction(0)
        self.s.press("push button", "OK")
        self.expect_reports(2, 0)

        self.choose("125 Hz", "1000 Hz")
        self.expect_reports(4, 0)

        self.page("Lighting")
        self.choose("Rainbow", "Steady")
        self.expect_reports(3, 0)
        brightness = self.s.wait_showing("slider", "Brightness").queryValue()
        low, high = int(brightness.minimumValue), int(brightness.maximumValue)
        for value in (high, low, (low + high) // 2):
            brightness.currentValue = value
        self.expect_reports(3, 0)
        self.s.wait_showing("push button", "Colour 5").queryAction().doAction(0)
        self.expect_reports(3, 0)

        # An arrow held on the colour wheel for a second and a half sends one colour: the last.
        wheel = wait_for(lambda: self.s.pyatspi.findDescendant(
            self.s.app(), lambda o: o.name == "Colour wheel" and self.s.showing(o)),
            what="the colour wheel")
        wheel.queryComponent().grabFocus()
        wait_for(lambda: wheel.getState().contains(self.s.pyatspi.STATE_FOCUSED),
                 what="the wheel focused")
        subprocess.run(["xdotool", "key", "--delay", "30"] + ["Left"] * 50, check=True)
        self.expect_reports(3, 0)

        profile = profile_bytes(read(self.d.settings_file()), 0)
        self.assertEqual(struct.unpack_from("<i", profile, 2244 + 4)[0], 40)
        self.assertEqual(struct.unpack_from("<i", profile, 2352)[0], 2)  # the current level
        self.assertEqual(struct.unpack_from("<i", profile, 2340)[0], (low + high) // 2)

        # An edit still held when its page, then the window, hides is sent and saved at once.
        brightness.currentValue = low
        self.page("DPI")
        self.expect_reports(3, 0)
        self.page("Lighting")
        brightness.currentValue = high
        self.s.press("push button", "Close")
        self.expect_reports(3, 0)
        profile = profile_bytes(read(self.d.settings_file()), 0)
        self.assertEqual(struct.unpack_from("<i", profile, 2340)[0], high)

    def test_a_recorded_macro_on_a_button_and_macro_files(self):
        self.open_session()
        self.page("Macros")
        self.s.press("push button", "New macro")
        name_edit = self.s.wait_showing("text", "Macro name").queryText()
        name = wait_for(lambda: name_edit.getText(0, -1), what="the new macro's name")
        actions = self.s.wait_showing("list", "Action list")

        # The keys go to the desktop's root window, away from the program's edits; the hook
        # sees them all the same.
        subprocess.run(["xdotool", "mousemove", "5", "5"], check=True)
        self.s.press("check box", "Record")
        self.type_until_seen("h", lambda: actions.childCount >= 2)
        subprocess.run(["xdotool", "key", "e", "l", "l", "o"], check=True)
        wait_for(lambda: actions.childCount == 10, what="ten recorded steps")
        self.s.press("check box", "Record")
        self.assertEqual(name_edit.getText(0, -1), name)

        # The first step's delay becomes 250 ms. The list shows its end after recording: a click
        # on the last step, then Home.
        self.s.click(actions.getChildAtIndex(9))
        first = actions.getChildAtIndex(0)
        subprocess.run(["xdotool", "key", "Home"], check=True)
        wait_for(lambda: first.getState().contains(self.s.pyatspi.STATE_SELECTED),
                 what="the first step selected")
        self.s.press("check box", "Edit action")
        delay = self.s.wait_showing("text", "Action delay")
        self.s.click(delay)
        delay.queryEditableText().setTextContents("250")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        wait_for(lambda: actions.getChildAtIndex(0).name.endswith("250 ms"),
                 what="the edited delay in the list")
        self.s.press("push button", "Save")
        wait_for(lambda: os.path.exists(self.macro_file()) and
                 struct.unpack_from("<H", read(self.macro_file()), STEPS_AT + 2)[0] == 250,
                 what="the saved macro")
        record = read(self.macro_file())
        self.assertEqual(len(record), MACRO_SIZE)
        self.assertEqual(struct.unpack_from("<i", record, 52)[0], 10)

        self.page("Buttons")
        self.edit_button(4, "Macro")
        self.choose(name, name)
        self.s.press("push button", "Apply")
        self.expect_reports(1, 0)
        button = button_bytes(profile_bytes(read(self.d.settings_file()), 0), 3)
        self.assertEqual(button[1], 17)
        self.assertEqual(button[1084:1084 + 10 * 4], record[STEPS_AT:STEPS_AT + 10 * 4])

        # A file one byte short is refused with a warning, and nothing changes.
        self.page("Macros")
        short = os.path.join(self.d.dir, "short.macro")
        with open(short, "wb") as f:
            f.write(record[:MACRO_SIZE - 1])
        self.s.press("push button", "Import macro")
        self.answer_file_dialog(short)
        self.s.wait_showing(
            "label", "This file is not a macro: a macro file holds exactly 240 bytes.")
        self.s.wait_showing("push button", "OK").queryAction().doAction(0)
        wait_for(lambda: not self.s.find_showing("push button", "OK"), what="the warning to close")
        self.assertEqual(read(self.macro_file()), record)
        # The accessibility bus may take a moment to offer the page's objects again once the
        # box has gone.
        macros = self.s.wait("list", "Macro list")
        self.assertEqual(macros.childCount, 1)

        # Export, then import: the same macro under a name of its own.
        self.s.click(macros.getChildAtIndex(0))
        exported = os.path.join(self.d.dir, "hello.macro")
        self.s.press("push button", "Export macro")
        self.answer_file_dialog(exported)
        wait_for(lambda: os.path.exists(exported), what="the exported file")
        self.assertEqual(read(exported), record)
        self.s.press("push button", "Import macro")
        self.answer_file_dialog(exported)
        wait_for(lambda: len(read(self.macro_file())) == 2 * MACRO_SIZE, what="the import")
        imported = read(self.macro_file())[MACRO_SIZE:]
        self.assertEqual(imported[:NAME_BYTES], name_field(name + "_1"))
        self.assertEqual(imported[NAME_BYTES:], record[NAME_BYTES:])
        again = os.path.join(self.d.dir, "again.macro")
        self.s.press("push button", "Export macro")
        self.answer_file_dialog(again)
        wait_for(lambda: os.path.exists(again), what="the second export")
        self.assertEqual(read(again), imported)

    def quit_during_a_reset(self, quit, twice=False):
        """Quit 1.5 s into the 8 s that a reset takes to send: the window goes at once, the file
        holds the reset record, and the mouse still gets every report; quit twice, and the
        program ends after the report in flight."""
        self.open_session()
        fresh = read(self.d.settings_file())
        self.page("DPI")
        self.choose("125 Hz", "1000 Hz")
        self.expect_reports(4, 0)
        self.assertNotEqual(read(self.d.settings_file()), fresh)

        self.s.press("push button", "Reset profile")
        self.s.wait_showing("push button", "OK").queryAction().doAction(0)
        time.sleep(1.5)
        quit()
        wait_for(lambda: not self.d.visible_windows(TITLE), timeout=2, what="the window to go")
        # Saved at once: the rate is the reset's again.
        self.assertEqual(read(self.d.settings_file())[RATE_AT], fresh[RATE_AT])
        self.assertIsNone(self.d.program.poll())  # still sending
        # The mouse's status reports may name another current DPI level while the reset is sent:
        # the DPI reports are compared without it.
        def without_level(reports):
            return [" ".join(line.split()[:24] + line.split()[25:]) if line.startswith("04 32")
                    else line for line in reports]

        if twice:
            quit()
            self.assertEqual(self.d.program.wait(timeout=5), 0)
            sent = without_level(self.d.log())
            request = without_level(self.reports(4, 0) + self.reports(0, 1))
            self.assertEqual(sent, request[:len(sent)])
            self.assertLess(len(sent), 15)
            self.assertEqual(read(self.d.settings_file())[RATE_AT], fresh[RATE_AT])
            return
        self.assertEqual(self.d.program.wait(timeout=20), 0)
        # All of it the reset record, but the current DPI level: the mouse's status reports name it.
        level = slice(LEVEL_AT, LEVEL_AT + 4)
        saved = bytearray(read(self.d.settings_file()))
        saved[level] = fresh[level]
        self.assertEqual(bytes(saved), fresh)
        self.assertEqual(without_level(self.d.log()),
                         without_level(self.reports(4, 0) + self.reports(0, 1)))

    def test_quit_by_key_during_a_reset(self):
        self.quit_during_a_reset(lambda: subprocess.run(
            ["xdotool", "search", "--name", TITLE, "windowfocus", "--sync", "key", "ctrl+q"],
            env=self.d.env, check=True))

    def test_quit_by_signal_during_a_reset(self):
        self.quit_during_a_reset(lambda: self.d.program.send_signal(signal.SIGTERM))

    def test_quit_twice_during_a_reset(self):
        self.quit_during_a_reset(lambda: self.d.program.send_signal(signal.SIGINT), twice=True)

    def test_a_profile_exported_and_imported_into_another(self):
        self.open_session(macros=GREETING)
        self.s.press("radio button", "Profile 2")
        self.expect_reports(0, 0)  # the switch alone
        self.edit_button(9, "Macro")
        self.choose("Greeting", "Greeting")
        self.s.press("push button", "Apply")
        self.expect_reports(1, 1)
        self.page("DPI")
        self.choose("125 Hz", "125 Hz")
        self.expect_reports(4, 1)

        exported = os.path.join(self.d.dir, "shared.pro")
        self.s.press("push button", "Export profile")
        self.answer_file_dialog(exported)
        wait_for(lambda: os.path.exists(exported), what="the profile file")
        profile = read(exported)
        self.assertEqual(profile, profile_bytes(read(self.d.settings_file()), 1))

        # From the buttons page: a visible DPI page would also send the report rate of the
        # profile it switches to, as a change of its list.
        self.page("Buttons")
        self.s.press("radio button", "Profile 5")
        self.expect_reports(0, 0)  # the switch alone
        self.s.press("push button", "Import profile")
        self.answer_file_dialog(exported)
        self.expect_reports(0, 2)

        # The same profile, its macro button naming a copy of the macro under a new name.
        fifth = profile_bytes(read(self.d.settings_file()), 4)
        start = BUTTONS_AT + 8 * BUTTON_SIZE
        name_at = start + NAME_AT
        self.assertEqual(fifth[name_at:name_at + NAME_BYTES], name_field("Greeting_1"))
        self.assertEqual(struct.unpack_from("<i", fifth, start + MACRO_INDEX_AT)[0], 1)
        for changed in (range(name_at, name_at + NAME_BYTES),
                        range(start + MACRO_INDEX_AT, start + MACRO_INDEX_AT + 4)):
            profile = profile[:changed.start] + fifth[changed.start:changed.stop] + \
                profile[changed.stop:]
        self.assertEqual(fifth, profile)
        macros = read(self.macro_file())
        self.assertEqual(len(macros), 2 * MACRO_SIZE)
        self.assertEqual(macros[MACRO_SIZE:MACRO_SIZE + NAME_BYTES], name_field("Greeting_1"))
        self.assertEqual(macros[MACRO_SIZE + STEPS_AT - 4:], GREETING[STEPS_AT - 4:])
        self.page("Macros")
        self.assertIsNotNone(self.s.find("list item", "Greeting_1", self.s.find("list", "Macro list")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
