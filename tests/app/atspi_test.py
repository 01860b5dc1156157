#!/usr/bin/python3
"""The running viewer as a screen reader (Orca) sees it through AT-SPI: the names, roles and
actions of its controls and of the About box, and that the keyboard alone reaches the About icon
and both links and opens them.

usage: atspi_test.py VISTREL
Run on a private X server and session bus (see x11-session.sh)."""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from desktop_sandbox import DesktopSandbox

TIMEOUT = 20
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def wait_for(find, what):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    raise SystemExit(f"FAIL timed out waiting for {what}")


def eventually(predicate, timeout=5):
    """Whether predicate comes true within timeout seconds: a busy machine delivers keys late."""
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == name:
            return app
    return None


def descendant(root, predicate):
    try:
        return pyatspi.findDescendant(root, predicate, breadth_first=True)
    except GLib.GError:  # the tree changed under us while a window opened or closed
        return None


def by_role_and_name(role, name):
    return lambda node: node is not None and node.getRole() == role and node.name == name


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def check_said_once(root):
    """No control's description repeats its name, so nothing is announced twice."""
    repeated = []
    for node in [root] + [n for n in pyatspi.utils.findAllDescendants(root, lambda n: True)]:
        if node.name and node.description == node.name:
            repeated.append(node.name)
    check(not repeated, f"no description repeats its name in {root.name!r}: {repeated}")


def press(keysym):
    pyatspi.Registry.generateKeyboardEvent(keysym, None, pyatspi.KEY_SYM)
    time.sleep(0.1)


def focused(node):
    return node.getState().contains(pyatspi.STATE_FOCUSED)


TAB, RETURN = 0xFF09, 0xFF0D


def main():
    vistrel = sys.argv[1]
    desktop = DesktopSandbox()
    env = desktop.environment()
    # The bridge talks to the session's accessibility bus even when no screen reader has asked
    # the desktop to turn accessibility on.
    env.update(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb", LANG="C.UTF-8")
    for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
        env.pop(name, None)
    viewer = subprocess.Popen([vistrel], env=env)
    try:
        run(desktop)
    finally:
        viewer.terminate()
        viewer.wait(10)
        desktop.cleanup()
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0


def run(desktop):
    app = wait_for(lambda: application("vistrel"), "the viewer on the accessibility bus")
    window = wait_for(lambda: descendant(app, lambda n: n.getRole() == pyatspi.ROLE_DIALOG
                                         and n.name == "Vistrel"), "the viewer window")
    picture = wait_for(lambda: descendant(window, lambda n: n.getRole() == pyatspi.ROLE_IMAGE
                                          and n.name.startswith("Scene 1 \u00b7 seed ")),
                       "the first picture")
    check(picture.description == "", f"the picture is an image named {picture.name!r}, once")

    # (role, name, whether it offers a press action): Stop is disabled until a slide show runs.
    expected = [
        (pyatspi.ROLE_PUSH_BUTTON, "Previous", True),
        (pyatspi.ROLE_PUSH_BUTTON, "Next", True),
        (pyatspi.ROLE_PUSH_BUTTON, "Auto", True),
        (pyatspi.ROLE_PUSH_BUTTON, "Stop", False),
        (pyatspi.ROLE_SPIN_BUTTON, "Interval", False),
        (pyatspi.ROLE_PUSH_BUTTON, "\u5173\u4e8eVistrel", True),
    ]
    for role, name, pressable in expected:
        node = descendant(window, by_role_and_name(role, name))
        check(node is not None, f"{pyatspi.Accessible.getRoleName(node) if node else role}"
                                f" named {name!r}")
        if node is not None:
            check(("Press" in actions(node)) == pressable,
                  f"{name!r} {'has' if pressable else 'lacks'} a press action: {actions(node)}")
    check_said_once(window)

    # Keyboard: Next has the focus; Tab goes Auto, Interval, the icon (Stop is disabled).
    icon = descendant(window, by_role_and_name(pyatspi.ROLE_PUSH_BUTTON, "\u5173\u4e8eVistrel"))
    next_button = descendant(window, by_role_and_name(pyatspi.ROLE_PUSH_BUTTON, "Next"))
    wait_for(lambda: focused(next_button), "the focus on Next")
    # A screen reader's press on the icon opens the About box and answers at once, although the
    # box is modal: the reader must not hang until it closes. Its OK closes it again.
    started = time.monotonic()
    icon.queryAction().doAction(actions(icon).index("Press"))
    check(time.monotonic() - started < 2, "the icon's press action answers at once")
    pressed_open = wait_for(
        lambda: descendant(app, by_role_and_name(pyatspi.ROLE_DIALOG, "About Vistrel")),
        "the About box opened by the press action")
    ok = wait_for(lambda: descendant(pressed_open, by_role_and_name(pyatspi.ROLE_PUSH_BUTTON,
                                                                    "OK")), "its OK")
    ok.queryAction().doAction(actions(ok).index("Press"))
    wait_for(lambda: descendant(app, by_role_and_name(pyatspi.ROLE_DIALOG, "About Vistrel"))
             is None, "the About box to close")
    wait_for(lambda: focused(next_button), "the focus back on Next")
    for _ in range(3):
        press(TAB)
    check(icon is not None and eventually(lambda: focused(icon)),
          "three Tabs from Next reach the About icon")
    press(RETURN)
    about = wait_for(lambda: descendant(app, lambda n: n.getRole() == pyatspi.ROLE_DIALOG
                                        and n.name == "About Vistrel"),
                     "the About box opened by Enter on the icon")

    program_icon = descendant(about, by_role_and_name(pyatspi.ROLE_IMAGE, "Vistrel"))
    check(program_icon is not None, "the About box's icon is an image named for the program")
    links = {
        "vistrel@example.org": "mailto:vistrel@example.org",
        "http://vistrel.example.org/": "",
    }
    for name, description in links.items():
        link = descendant(about, by_role_and_name(pyatspi.ROLE_LINK, name))
        check(link is not None, f"link named {name!r}")
        if link is not None:
            check(link.description == description,
                  f"link {name!r} described as {link.description!r}")
            check("Press" in actions(link), f"link {name!r} has a press action: {actions(link)}")
    check_said_once(about)

    ok = wait_for(lambda: descendant(about, by_role_and_name(pyatspi.ROLE_PUSH_BUTTON, "OK")),
                  "OK")
    wait_for(lambda: focused(ok), "the focus on OK")
    opened = []
    for name, target in (("vistrel@example.org", "mailto:vistrel@example.org"),
                         ("http://vistrel.example.org/", "http://vistrel.example.org/")):
        press(TAB)
        link = descendant(about, by_role_and_name(pyatspi.ROLE_LINK, name))
        check(link is not None and eventually(lambda: focused(link)),
              f"Tab reaches the link {name!r}")
        press(RETURN)
        opened.append(target)
        check(desktop.urls(len(opened)) == opened,
              f"Enter on {name!r} opens {target} in the default handler")
    # A screen reader's press action opens a link as a click does.
    mail = descendant(about, by_role_and_name(pyatspi.ROLE_LINK, "vistrel@example.org"))
    action = mail.queryAction()
    action.doAction(actions(mail).index("Press"))
    opened.append("mailto:vistrel@example.org")
    check(desktop.urls(len(opened)) == opened, "the press action opens the e-mail link")
    press(TAB)
    check(eventually(lambda: focused(ok)), "after both links Tab comes back to OK")
    check(descendant(app, by_role_and_name(pyatspi.ROLE_DIALOG, "About Vistrel")) is not None,
          "Enter on a link leaves the About box open")


if __name__ == "__main__":
    sys.exit(main())
