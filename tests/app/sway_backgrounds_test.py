#!/usr/bin/python3
"""Every output's background on a real compositor (headless sway with several outputs): the
viewer's Ctrl+B (or Ctrl+Shift+B), typed with wtype, must leave on each output, as grim reads it
back, exactly the picture's fit of that output's device pixels (or its part of one picture across
all), whatever the outputs' sizes, scales and rotations.

usage: sway_backgrounds_test.py VISTREL VISTREL_RENDER
Run as an unprivileged user (sway refuses root) on a private session bus (see wayland-session.sh)."""

import json
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time

from wayland_test import app_ids, read_ppm, wait_for

PICTURE = (570, 190)

# Each layout: its name, the key's spread, and its outputs as (mode, x, y, scale, transform);
# positions are in logical pixels, as sway places outputs.
LAYOUTS = [
    ("1440p beside 1080p", "each",
     [("2560x1440", 0, 0, 1, "normal"), ("1920x1080", 2560, 0, 1, "normal")]),
    ("4K at 200 % beside 1080p", "each",
     [("3840x2160", 0, 0, 2, "normal"), ("1920x1080", 1920, 0, 1, "normal")]),
    ("1080p beside a portrait 1080p", "each",
     [("1920x1080", 0, 0, 1, "normal"), ("1920x1080", 1920, 0, 1, "90")]),
    ("three 1080p across all", "across",
     [("1920x1080", 0, 0, 1, "normal"), ("1920x1080", 1920, 0, 1, "normal"),
      ("1920x1080", 3840, 0, 1, "normal")]),
]


def device_size(mode, transform):
    width, height = (int(n) for n in mode.split("x"))
    return (height, width) if transform in ("90", "270") else (width, height)


def expected_each(render, seed, size, work):
    path = work / f"fit-{size[0]}x{size[1]}.ppm"
    subprocess.run([render, "--seed", seed, "--fit", f"{size[0]}x{size[1]}", "-o", str(path)],
                   check=True)
    return read_ppm(path)[2]


def expected_across(render, seed, outputs, work):
    """Each output's rows of one picture across all: enlarged by the largest whole scale that
    fits the outputs' bounding box (in logical pixels), centred on it."""
    path = work / "picture.ppm"
    subprocess.run([render, "--seed", seed, "-o", str(path)], check=True)
    _, _, picture = read_ppm(path)
    boxes = []
    for mode, x, y, scale, transform in outputs:
        width, height = device_size(mode, transform)
        boxes.append((x, y, width // scale, height // scale, scale))
    left, top = min(b[0] for b in boxes), min(b[1] for b in boxes)
    right, bottom = max(b[0] + b[2] for b in boxes), max(b[1] + b[3] for b in boxes)
    fit = min((right - left) // PICTURE[0], (bottom - top) // PICTURE[1])
    origin_x = left + (right - left - PICTURE[0] * fit) // 2
    origin_y = top + (bottom - top - PICTURE[1] * fit) // 2
    black = b"\0\0\0"
    images = []
    for x, y, width, height, scale in boxes:
        step = fit * scale
        rows = []
        for device_y in range(height * scale):
            source_y = (y * scale + device_y - origin_y * scale) // step
            row = bytearray()
            for device_x in range(width * scale):
                source_x = (x * scale + device_x - origin_x * scale) // step
                inside = 0 <= source_x < PICTURE[0] and 0 <= source_y < PICTURE[1]
                row += picture[source_y][3 * source_x:3 * source_x + 3] if inside else black
            rows.append(bytes(row))
        images.append(rows)
    return images


def first_difference(shown, expected):
    if len(shown) != len(expected):
        return f"{len(shown)} rows, expected {len(expected)}"
    for y, (a, b) in enumerate(zip(shown, expected)):
        if a != b:
            x = next(i for i in range(min(len(a), len(b))) if a[i] != b[i]) // 3 \
                if len(a) == len(b) else f"(width {len(a) // 3}, expected {len(b) // 3})"
            return f"row {y} differs from pixel {x} on"
    return None


def run_layout(vistrel, render, name, spread, outputs, base):
    with tempfile.TemporaryDirectory(prefix="vistrel-sway-") as work:
        work = pathlib.Path(work)
        runtime = work / "runtime"
        runtime.mkdir(mode=0o700)
        config = ["xwayland disable"]
        for index, (mode, x, y, scale, transform) in enumerate(outputs, start=1):
            config.append(f"output HEADLESS-{index} resolution {mode} position {x} {y} "
                          f"scale {scale} transform {transform}")
        (work / "sway.config").write_text("\n".join(config) + "\n")
        env = dict(base, HOME=str(work), XDG_RUNTIME_DIR=str(runtime),
                   XDG_DATA_HOME=str(work / "data"))
        compositor_env = dict(env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                              WLR_RENDERER="pixman", WLR_HEADLESS_OUTPUTS=str(len(outputs)))
        with open(work / "sway.log", "w") as log:
            sway = subprocess.Popen(["sway", "-c", str(work / "sway.config")],
                                    env=compositor_env, stdout=log, stderr=subprocess.STDOUT)
        viewer = None
        try:
            socket = wait_for(lambda: next(iter(sorted(runtime.glob("wayland-[0-9]"))), None),
                              "the compositor's socket")
            ipc = wait_for(lambda: next(iter(runtime.glob("sway-ipc.*.sock")), None),
                           "the compositor's IPC socket")
            client_env = dict(env, WAYLAND_DISPLAY=socket.name, SWAYSOCK=str(ipc),
                              XDG_CURRENT_DESKTOP="sway", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            viewer = subprocess.Popen([vistrel], env=client_env)
            def tree():
                return json.loads(subprocess.run(["swaymsg", "-t", "get_tree", "-r"],
                                                 env=client_env, capture_output=True, check=True,
                                                 text=True).stdout)
            wait_for(lambda: app_ids(tree()), "the viewer's window")
            # wtype's keyboard is new to the program each time: a pause lets it take it first.
            keys = ["-s", "400", "-M", "ctrl"] + (["-M", "shift"] if spread == "across" else []) + ["-k", "b"]
            backgrounds = work / "data" / "backgrounds"

            # Typed again should the window not have the keyboard yet; the images' names say
            # the seed on show.
            def typed():
                subprocess.run(["wtype"] + keys, env=client_env, check=True)
                for _ in range(20):
                    for image in backgrounds.glob("vistrel-*.png"):
                        return re.match(r"vistrel-(\d+)-", image.name).group(1)
                    time.sleep(0.1)
                return None
            seed = wait_for(typed, "the images")
            # The viewer goes, so that nothing covers the backgrounds, once it has handed them
            # over; swaybg then draws them, which the reading back below waits for.
            time.sleep(1)
            viewer.terminate()
            viewer.wait(10)
            viewer = None
            if spread == "each":
                expected = [expected_each(render, seed, device_size(mode, transform), work)
                            for mode, _, _, _, transform in outputs]
            else:
                expected = expected_across(render, seed, outputs, work)
            return check_outputs(name, seed, expected, client_env, work)
        finally:
            if viewer is not None:
                viewer.terminate()
                viewer.wait(10)
            sway.terminate()
            sway.wait(10)
            if sys.exc_info()[0] is not None:
                print((work / "sway.log").read_text())


def check_outputs(name, seed, expected, env, work):
    failures = []
    for index, rows in enumerate(expected, start=1):
        output = f"HEADLESS-{index}"
        difference = "not read"
        for _ in range(40):
            shot = work / f"{output}.ppm"
            subprocess.run(["grim", "-t", "ppm", "-o", output, str(shot)], env=env, check=True)
            difference = first_difference(read_ppm(shot)[2], rows)
            if difference is None:
                break
            time.sleep(0.25)
        if difference is None:
            print(f"{name}: {output} shows seed {seed} exactly")
        else:
            failures.append(f"{name}: {output}: {difference}")
    return failures


def main():
    vistrel, render = sys.argv[1:3]
    base = {key: value for key, value in os.environ.items()
            if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE",
                           "LC_ALL", "LC_MESSAGES", "QT_SCALE_FACTOR", "XDG_CURRENT_DESKTOP")}
    base.update(LANG="C.UTF-8")
    failures = []
    for name, spread, outputs in LAYOUTS:
        failures += run_layout(vistrel, render, name, spread, outputs, base)
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
