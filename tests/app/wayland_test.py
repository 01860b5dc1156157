#!/usr/bin/python3
"""The real viewer on a real Wayland compositor (headless sway), started with nothing but the
compositor's WAYLAND_DISPLAY: it must open a native window that carries the desktop id as its app
id and shows the picture exactly, pixel for pixel what vistrel-render paints for the same seed.
The seed is read from the picture's accessible name, as a screen reader would read it.

usage: wayland_test.py VISTREL VISTREL_RENDER APP_ID
Run as an unprivileged user (sway refuses root) on a private session bus (see wayland-session.sh)."""

import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 20


def wait_for(find, what):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    raise SystemExit(f"FAIL timed out waiting for {what}")


def read_ppm(path):
    """(width, height, rows of RGB bytes) of a binary PPM with 8-bit samples."""
    data = pathlib.Path(path).read_bytes()
    fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    if not fields:
        raise SystemExit(f"FAIL {path} is not an 8-bit binary PPM")
    width, height = int(fields.group(1)), int(fields.group(2))
    pixels = data[fields.end():]
    stride = 3 * width
    return width, height, [pixels[y * stride:(y + 1) * stride] for y in range(height)]


def find_picture(screen_rows, picture_rows):
    """Where the picture appears, exactly, in the screenshot: (x, y), or None."""
    first = picture_rows[0]
    for top in range(len(screen_rows) - len(picture_rows) + 1):
        start = screen_rows[top].find(first)
        while start >= 0:
            if start % 3 == 0 and all(
                    screen_rows[top + y][start:start + len(first)] == row
                    for y, row in enumerate(picture_rows)):
                return start // 3, top
            start = screen_rows[top].find(first, start + 1)
    return None


def app_ids(tree):
    """The app ids of every window in a sway tree."""
    ids = []
    for node in tree.get("nodes", []) + tree.get("floating_nodes", []):
        if node.get("app_id") is not None:
            ids.append(node["app_id"])
        ids += app_ids(node)
    return ids


def picture_name():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is None or app.name != "vistrel":
            continue
        try:
            image = pyatspi.findDescendant(app, lambda n: n.getRole() == pyatspi.ROLE_IMAGE,
                                           breadth_first=True)
        except GLib.GError:
            return None
        return image.name if image is not None else None
    return None


def main():
    vistrel, render, app_id = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="vistrel-wayland-") as work:
        work = pathlib.Path(work)
        runtime = work / "runtime"
        runtime.mkdir(mode=0o700)
        config = work / "sway.config"
        config.write_text("xwayland disable\noutput HEADLESS-1 resolution 1024x768 scale 1\n")
        base = {key: value for key, value in os.environ.items()
                if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE",
                               "LC_ALL", "LC_MESSAGES", "QT_SCALE_FACTOR")}
        base.update(HOME=str(work), XDG_RUNTIME_DIR=str(runtime), LANG="C.UTF-8")
        compositor_env = dict(base, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                              WLR_RENDERER="pixman")
        with open(work / "sway.log", "w") as log:
            sway = subprocess.Popen(["sway", "-c", str(config)], env=compositor_env,
                                    stdout=log, stderr=subprocess.STDOUT)
        viewer = None
        try:
            socket = wait_for(lambda: next(iter(sorted(runtime.glob("wayland-[0-9]"))), None),
                              "the compositor's socket")
            ipc = wait_for(lambda: next(iter(runtime.glob("sway-ipc.*.sock")), None),
                           "the compositor's IPC socket")
            client_env = dict(base, WAYLAND_DISPLAY=socket.name, SWAYSOCK=str(ipc),
                              QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            viewer = subprocess.Popen([vistrel], env=client_env)
            return check(work, render, app_id, client_env)
        finally:
            if viewer is not None:
                viewer.terminate()
                viewer.wait(10)
            sway.terminate()
            sway.wait(10)
            if sys.exc_info()[0] is not None:
                print((work / "sway.log").read_text())


def check(work, render, app_id, env):
    name = wait_for(lambda: (lambda n: n if n and n.startswith("Scene 1") else None)(
        picture_name()), "the first picture")
    seed = re.fullmatch(r"Scene 1 \u00b7 seed (\d+)", name)
    if not seed:
        raise SystemExit(f"FAIL the picture is named {name!r}")

    def tree():
        shown = subprocess.run(["swaymsg", "-t", "get_tree", "-r"], env=env,
                               capture_output=True, check=True, text=True)
        return json.loads(shown.stdout)

    ids = wait_for(lambda: app_ids(tree()), "the window in the compositor's tree")
    failures = []
    print(f"windows: {ids}")
    if ids != [app_id]:
        failures.append(f"the window's app id is {ids}, not {app_id}")

    subprocess.run([render, "--seed", seed.group(1), "-o", str(work / "expected.ppm")],
                   check=True)
    _, _, expected = read_ppm(work / "expected.ppm")
    # Painted once the window is mapped; give the compositor a frame or two.
    found = None
    for _ in range(20):
        subprocess.run(["grim", "-t", "ppm", str(work / "screen.ppm")], env=env, check=True)
        _, _, screen = read_ppm(work / "screen.ppm")
        found = find_picture(screen, expected)
        if found:
            break
        time.sleep(0.25)
    if found:
        print(f"seed {seed.group(1)}: the picture is on screen at {found}, pixel for pixel")
    else:
        failures.append(f"seed {seed.group(1)}: the screen does not show the picture exactly")
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
