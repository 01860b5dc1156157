#!/usr/bin/env python3
"""A desktop portal and a Plasma shell on the session bus, for the background tests.

usage: fake-desktop.py RECORD_DIR ANSWER [plasma]

ANSWER is the Response code the portal's Wallpaper request gets (0, 1, 2, ...), "silent" for a
request that is never answered, "none" for a portal without the Wallpaper interface, or
"absent" for no portal at all. A Wallpaper call leaves RECORD_DIR/image (the bytes read from the
file descriptor) and RECORD_DIR/call.json (the parent window, the options and the request
path). With "plasma", a Plasma shell takes scripts and leaves them in RECORD_DIR/script.js.
Prints "ready" once the names are owned.
"""
import json
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
WALLPAPER = "org.freedesktop.portal.Wallpaper"
REQUEST = "org.freedesktop.portal.Request"


class Request(dbus.service.Object):
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus, record, answer):
        super().__init__(bus, PATH)
        self.bus = bus
        self.record = record
        self.answer = answer
        self.requests = []

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == WALLPAPER and name == "version" and self.answer != "none":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException(
            "no property %s.%s" % (interface, name),
            name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(WALLPAPER, in_signature="sha{sv}", out_signature="o",
                         sender_keyword="sender")
    def SetWallpaperFile(self, parent_window, fd, options, sender):
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
        request = Request(self.bus, path)
        self.requests.append(request)
        if self.answer != "silent":
            GLib.idle_add(lambda: request.Response(dbus.UInt32(int(self.answer)), {}) and False)
        return dbus.ObjectPath(path)


class PlasmaShell(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, "/PlasmaShell")
        self.record = record

    @dbus.service.method("org.kde.PlasmaShell", in_signature="s", out_signature="s")
    def evaluateScript(self, script):
        with open(os.path.join(self.record, "script.js"), "w") as out:
            out.write(script)
        return ""


def main():
    record, answer = sys.argv[1], sys.argv[2]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    owned = []
    if answer != "absent":
        owned += [Portal(bus, record, answer),
                  dbus.service.BusName(BUS_NAME, bus, do_not_queue=True)]
    if sys.argv[3:] == ["plasma"]:
        owned += [PlasmaShell(bus, record),
                  dbus.service.BusName("org.kde.plasmashell", bus, do_not_queue=True)]
    print("ready", flush=True)
    GLib.MainLoop().run()
    del owned


if __name__ == "__main__":
    main()
