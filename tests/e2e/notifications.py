"""A stand-in for the desktop's notification service on the test's private session bus: it owns
org.freedesktop.Notifications and writes each notification it gets as one JSON line to the file
named on its command line."""

import json
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.freedesktop.Notifications">
    <method name="Notify">
      <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
      <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
      <arg type="u" direction="out"/>
    </method>
    <method name="GetCapabilities"><arg type="as" direction="out"/></method>
    <method name="GetServerInformation">
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
      <arg type="s" direction="out"/><arg type="s" direction="out"/>
    </method>
    <method name="CloseNotification"><arg type="u" direction="in"/></method>
  </interface>
</node>
"""


def main(log_path):
    node = Gio.DBusNodeInfo.new_for_xml(INTERFACE)
    loop = GLib.MainLoop()
    count = [0]

    def call(_connection, _sender, _path, _interface, method, parameters, invocation):
        if method == "Notify":
            app, replaces, icon, summary, body, actions, hints, timeout = parameters.unpack()
            count[0] += 1
            with open(log_path, "a") as log:
                log.write(json.dumps({"app": app, "replaces": replaces, "icon": icon,
                                      "summary": summary, "body": body,
                                      "hints": {k: str(v) for k, v in hints.items()},
                                      "timeout": timeout}) + "\n")
            invocation.return_value(GLib.Variant("(u)", (count[0],)))
        elif method == "GetCapabilities":
            invocation.return_value(GLib.Variant("(as)", (["body"],)))
        elif method == "GetServerInformation":
            invocation.return_value(GLib.Variant("(ssss)", ("stand-in", "tests", "1", "1.2")))
        else:
            invocation.return_value(None)

    def acquired(connection, _name):
        connection.register_object("/org/freedesktop/Notifications", node.interfaces[0], call)

    def named(_connection, _name):
        print("serving", flush=True)

    Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.Notifications",
                     Gio.BusNameOwnerFlags.NONE, acquired, named, lambda *_: loop.quit())
    loop.run()


if __name__ == "__main__":
    main(sys.argv[1])
