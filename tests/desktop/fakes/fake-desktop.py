#!/usr/bin/env python3
"""A desktop portal and a Plasma shell on the session bus, for the background tests.

usage: fake-desktop.py RECORD_DIR ANSWER [asks] [plasma | plasma-throws]

ANSWER is the Response code the portal's Wallpaper request gets (0, 1, 2, ...), "silent" for a
call that is never answered at all, "leaves" for a portal that takes the request and leaves the
bus LEAVES_AFTER seconds later without a Response, "none" for a portal without the Wallpaper
interface, or "absent" for no portal at all. With "asks", the Response comes ASKS_FOR seconds
after the request is taken, as when the portal asks the user first. A Wallpaper call leaves
RECORD_DIR/image (the bytes read from the file descriptor) and RECORD_DIR/call.json (the parent
window, the options and the request path).

With "plasma", a Plasma shell takes scripts and leaves them in RECORD_DIR/script.js. Like an
older shell that reports a script that does not run as its answer, it answers a script it cannot
read (the images not one JSON object of URIs, or the fill mode not a number) with an error text; with
"plasma-throws" it answers every script so. Prints "ready" once the names are owned.
"""
import json
import os
import re
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
WALLPAPER = "org.freedesktop.portal.Wallpaper"
REQUEST = "org.freedesktop.portal.Request"
ASKS_FOR = 1.5
LEAVES_AFTER = 1.2
# The shape of the script that sets the image wallpaper, as far as this shell reads it.
SCRIPT = re.compile(r"const images = (\{.*?\});\n.*'FillMode', \d+\);\n}\n", re.DOTALL)


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus, record, answer, asks):
        super().__init__(bus, PATH)
        self.bus = bus
        self.record = record
        self.answer = answer
        self.asks = asks
        self.requests = []

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == WALLPAPER and name == "version" and self.answer != "none":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException(
            "no property %s.%s" % (interface, name),
            name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(WALLPAPER, in_signature="sha{sv}", out_signature="o",
                         sender_keyword="sender", async_callbacks=("reply", "error"))
    def SetWallpaperFile(self, parent_window, fd, options, sender, reply, error):
        if self.answer == "none":
            raise dbus.exceptions.DBusException(
                "no such interface", name="org.freedesktop.DBus.Error.UnknownMethod")
        descriptor = fd.take()
        with os.fdopen(descriptor, "rb") as image, \
                open(os.path.join(self.record, "image"), "wb") as out:
            out.write(image.read())
        token = str(options.get("handle_token", ""))
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        call = {
            "parent_window": str(parent_window),
            "options": {str(k): (bool(v) if isinstance(v, dbus.Boolean) else str(v))
                        for k, v in options.items()},
            "request": path,
        }
        with open(os.path.join(self.record, "call.json"), "w") as out:
            json.dump(call, out)
        if self.answer == "silent":
            return
        request = Request(self.bus, path)
        self.requests.append(request)
        reply(dbus.ObjectPath(path))
        if self.answer == "leaves":
            GLib.timeout_add(int(LEAVES_AFTER * 1000), self.leave)
            return

        def respond():
            request.Response(dbus.UInt32(int(self.answer)), {})
            return False
        GLib.timeout_add(int(ASKS_FOR * 1000) if self.asks else 0, respond)

    def leave(self):
        self.bus.release_name(BUS_NAME)
        return False


def readable(script):
    shape = SCRIPT.fullmatch(script)
    if not shape:
        return False
    try:
        images = json.loads(shape.group(1))
    except ValueError:
        return False
    screens = images.get("screens") if isinstance(images, dict) else None
    return (isinstance(screens, dict) and isinstance(images.get("fallback"), str)
            and all(isinstance(uri, str) for uri in screens.values()))


class PlasmaShell(dbus.service.Object):
    def __init__(self, bus, record, throws):
        super().__init__(bus, "/PlasmaShell")
        self.record = record
        self.throws = throws

    @dbus.service.method("org.kde.PlasmaShell", in_signature="s", out_signature="s")
    def evaluateScript(self, script):
        with open(os.path.join(self.record, "script.js"), "w") as out:
            out.write(script)
        if self.throws:
            return "TypeError: desktops is not a function"
        return "" if readable(script) else "SyntaxError: Unexpected token"


def main():
    record, answer, words = sys.argv[1], sys.argv[2], sys.argv[3:]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    owned = []
    if answer != "absent":
        owned += [Portal(bus, record, answer, "asks" in words),
                  dbus.service.BusName(BUS_NAME, bus, do_not_queue=True)]
    shells = [word for word in words if word.startswith("plasma")]
    if shells:
        owned += [PlasmaShell(bus, record, shells == ["plasma-throws"]),
                  dbus.service.BusName("org.kde.plasmashell", bus, do_not_queue=True)]
    print("ready", flush=True)
    GLib.MainLoop().run()
    del owned


if __name__ == "__main__":
    main()
