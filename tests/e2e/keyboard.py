"""A virtual keyboard of the test's own for a Wayland compositor (the virtual-keyboard protocol),
with the standard US layout, so that keys typed through it sit where a real keyboard's do.
Usage: keyboard.py [KEY...] where KEY is an evdev key name without KEY_ (A, B, F7, SPACE)."""

import os
import socket
import struct
import sys
import tempfile
import time

KEYS = {"ESC": 1, "SPACE": 57, "TAB": 15, "ENTER": 28, "HOME": 102, "UP": 103, "DOWN": 108,
        **{f"F{n}": 58 + n for n in range(1, 11)},
        **{c: code for c, code in zip("QWERTYUIOP", range(16, 26))},
        **{c: code for c, code in zip("ASDFGHJKL", range(30, 39))},
        **{c: code for c, code in zip("ZXCVBNM", range(44, 51))}}

KEYMAP = b"""xkb_keymap {
  xkb_keycodes { include "evdev+aliases(qwerty)" };
  xkb_types { include "complete" };
  xkb_compat { include "complete" };
  xkb_symbols { include "pc+us+inet(evdev)" };
};
\0"""


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("<I", len(data)) + data + b"\0" * (-len(data) % 4)


class Connection:
    def __init__(self):
        path = os.environ["WAYLAND_DISPLAY"]
        if not os.path.isabs(path):
            path = os.path.join(os.environ["XDG_RUNTIME_DIR"], path)
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(path)
        self.next_id = 2
        self.buffer = b""

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b"", fds=()):
        message = struct.pack("<II", obj, ((8 + len(payload)) << 16) | opcode) + payload
        socket.send_fds(self.sock, [message], list(fds)) if fds else self.sock.sendall(message)

    def events(self):
        while True:
            while len(self.buffer) >= 8:
                obj, head = struct.unpack_from("<II", self.buffer)
                size = head >> 16
                if len(self.buffer) < size:
                    break
                yield obj, head & 0xFFFF, self.buffer[8:size]
                self.buffer = self.buffer[size:]
            self.buffer += self.sock.recv(65536)

    def roundtrip(self, on_event):
        callback = self.new_id()
        self.send(1, 0, struct.pack("<I", callback))  # wl_display.sync
        for obj, opcode, body in self.events():
            if obj == callback:
                return
            on_event(obj, opcode, body)


def main(keys):
    c = Connection()
    registry = c.new_id()
    c.send(1, 1, struct.pack("<I", registry))  # wl_display.get_registry
    globals_ = {}

    def on_event(obj, opcode, body):
        if obj == registry and opcode == 0:
            name, length = struct.unpack_from("<II", body)
            interface = body[8:8 + length - 1].decode()
            globals_.setdefault(interface, name)

    c.roundtrip(on_event)
    binds = {}
    for interface, version in (("wl_seat", 1), ("zwp_virtual_keyboard_manager_v1", 1)):
        if interface not in globals_:
            sys.exit(f"the compositor offers no {interface}")
        binds[interface] = c.new_id()
        c.send(registry, 0, struct.pack("<I", globals_[interface]) + string(interface) +
               struct.pack("<II", version, binds[interface]))
    keyboard = c.new_id()
    c.send(binds["zwp_virtual_keyboard_manager_v1"], 0,
           struct.pack("<II", binds["wl_seat"], keyboard))
    with tempfile.TemporaryFile() as keymap:
        keymap.write(KEYMAP)
        keymap.flush()
        c.send(keyboard, 0, struct.pack("<II", 1, len(KEYMAP)), fds=[keymap.fileno()])
        c.roundtrip(lambda *_: None)
    start = time.monotonic()
    # Without arguments the keyboard stays plugged in and types each line read, as a real one
    # does: the compositor takes the window's keyboard focus away when its last keyboard goes.
    for key in keys or (line.strip() for line in sys.stdin if line.strip()):
        for state in (1, 0):
            ms = int((time.monotonic() - start) * 1000)
            c.send(keyboard, 1, struct.pack("<III", ms, KEYS[key.upper()], state))
            c.roundtrip(lambda *_: None)
            time.sleep(0.02)
    c.roundtrip(lambda *_: None)


if __name__ == "__main__":
    main(sys.argv[1:])
