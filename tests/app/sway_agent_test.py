#!/usr/bin/python3
"""The background agent on a real compositor whose outputs come and go (headless sway): a seed set
through the agent shows on the output there is; an output created later gets the same seed's fit
within 2 seconds, read back with grim; and after an output is disabled the agent still shows that
seed, the picture unchanged.

usage: sway_agent_test.py VISTREL_BACKGROUND VISTREL_RENDER
Run as an unprivileged user (sway refuses root) on a private session bus (see wayland-session.sh)."""

import os
import pathlib
import subprocess
import sys
import tempfile
import time

from sway_backgrounds_test import expected_each, first_difference
from wayland_test import read_ppm, wait_for

SEED = "20877"
REFIT_SECONDS = 2


def shows(output, rows, env, work, seconds):
    """Whether the output shows exactly those rows within that many seconds."""
    deadline = time.monotonic() + seconds
    while True:
        shot = work / f"{output}.ppm"
        taken = subprocess.run(["grim", "-t", "ppm", "-o", output, str(shot)], env=env)
        if taken.returncode == 0 and first_difference(read_ppm(shot)[2], rows) is None:
            return True
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)


def main():
    agent, render = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="vistrel-agent-") as work:
        work = pathlib.Path(work)
        runtime = work / "runtime"
        runtime.mkdir(mode=0o700)
        (work / "sway.config").write_text(
            "xwayland disable\noutput HEADLESS-1 resolution 1920x1080 position 0 0\n")
        base = {key: value for key, value in os.environ.items()
                if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_SCALE_FACTOR")}
        env = dict(base, HOME=str(work), XDG_RUNTIME_DIR=str(runtime), LANG="C.UTF-8",
                   XDG_DATA_HOME=str(work / "data"), XDG_CONFIG_HOME=str(work / "config"),
                   XDG_STATE_HOME=str(work / "state"), XDG_CURRENT_DESKTOP="sway")
        compositor_env = dict(env, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                              WLR_RENDERER="pixman", WLR_HEADLESS_OUTPUTS="1")
        with open(work / "sway.log", "w") as log:
            sway = subprocess.Popen(["sway", "-c", str(work / "sway.config")],
                                    env=compositor_env, stdout=log, stderr=subprocess.STDOUT)
        running = None
        failures = []
        try:
            socket = wait_for(lambda: next(iter(sorted(runtime.glob("wayland-[0-9]"))), None),
                              "the compositor's socket")
            ipc = wait_for(lambda: next(iter(runtime.glob("sway-ipc.*.sock")), None),
                           "the compositor's IPC socket")
            client_env = dict(env, WAYLAND_DISPLAY=socket.name, SWAYSOCK=str(ipc))
            running = subprocess.Popen([agent, "run"], env=client_env)
            wait_for(lambda: subprocess.run([agent, "status"], env=client_env,
                                            capture_output=True).returncode == 0, "the agent")
            subprocess.run([agent, "seed", SEED], env=client_env, check=True)
            fit = expected_each(render, SEED, (1920, 1080), work)
            if not shows("HEADLESS-1", fit, client_env, work, 5):
                failures.append(f"HEADLESS-1 does not show seed {SEED}")

            subprocess.run(["swaymsg", "create_output"], env=client_env, check=True,
                           capture_output=True)
            subprocess.run(["swaymsg", "output HEADLESS-2 resolution 1280x1024 position 1920 0"],
                           env=client_env, check=True, capture_output=True)
            started = time.monotonic()
            if shows("HEADLESS-2", expected_each(render, SEED, (1280, 1024), work), client_env,
                     work, REFIT_SECONDS):
                print(f"the new output shows seed {SEED} after "
                      f"{time.monotonic() - started:.2f} s")
            else:
                failures.append(f"the new output HEADLESS-2 does not show seed {SEED} "
                                f"within {REFIT_SECONDS} s")

            subprocess.run(["swaymsg", "output HEADLESS-1 disable"], env=client_env, check=True,
                           capture_output=True)
            time.sleep(1)
            status = subprocess.run([agent, "status"], env=client_env, capture_output=True,
                                    text=True).stdout
            if f"seed {SEED}" not in status:
                failures.append(f"after an output went, the agent says: {status!r}")
            if not shows("HEADLESS-2", expected_each(render, SEED, (1280, 1024), work),
                         client_env, work, REFIT_SECONDS):
                failures.append("the output left does not keep the picture")
        finally:
            if running is not None:
                running.terminate()
                running.wait(10)
            sway.terminate()
            sway.wait(10)
            if failures or sys.exc_info()[0] is not None:
                print((work / "sway.log").read_text())
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
