"""The screenshots that the AppStream metainfo shows: the real program on a private virtual
display with the emulated mouse, its window captured on two pages, in the dark and the light look.

usage: take-screenshots.py BIN_DIR OUT_DIR"""

import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))

import desktop as e2e  # noqa: E402

TITLE = "Veltrix Wireless"
# (file, look, page button): the pages as the metainfo names them.
SHOTS = [("buttons.png", "dark", "Buttons"), ("dpi.png", "light", "DPI")]


def take(desktop, screen, out, look, page):
    config = os.path.join(desktop.env["XDG_CONFIG_HOME"], "veltrix-wireless")
    os.makedirs(config, exist_ok=True)
    with open(os.path.join(config, "veltrix-wireless.conf"), "w") as f:
        f.write(f"[skin]\nstyle={look}\n")
    program = desktop.start_program()
    window = e2e.wait_for(lambda: desktop.visible_windows(TITLE), what="the window")[0]
    screen.wait("frame", TITLE)
    screen.press("radio button", page)
    screen.wait_showing("filler", f"{page} page")
    # The mouse's first status reports have reached the window, and the page has been drawn.
    time.sleep(2.5)
    subprocess.run(["import", "-window", window, out], env=desktop.env, check=True)
    os.killpg(program.pid, signal.SIGTERM)
    program.wait(timeout=20)


def main(bin_dir, out_dir):
    e2e.PROGRAM = os.path.join(bin_dir, "veltrix-wireless")
    e2e.EMULATOR = os.path.join(bin_dir, "veltrix-mouse-emulator")
    os.makedirs(out_dir, exist_ok=True)
    desktop = e2e.Desktop()
    try:
        screen = e2e.Screen()  # after the buses exist
        for name, look, page in SHOTS:
            take(desktop, screen, os.path.join(out_dir, name), look, page)
    finally:
        desktop.close()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
