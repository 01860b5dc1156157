"""A private desktop for the session tests: its own home and XDG folders, whose default web
browser and mail program only record the URLs they are started with."""

import os
import pathlib
import tempfile
import time


class DesktopSandbox:
    HANDLED = ("x-scheme-handler/http", "x-scheme-handler/https", "x-scheme-handler/mailto",
               "text/html")

    def __init__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="vistrel-desktop-")
        root = pathlib.Path(self._dir.name)
        self.root = root
        self.recorded = root / "recorded-urls"
        for folder in ("home", "config", "data/applications", "runtime"):
            (root / folder).mkdir(parents=True)
        (root / "runtime").chmod(0o700)
        recorder = root / "recorder"
        recorder.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$1\" >> '{self.recorded}'\n")
        recorder.chmod(0o755)
        (root / "data/applications/recorder.desktop").write_text(
            "[Desktop Entry]\nType=Application\nName=Recorder\n"
            f"Exec={recorder} %u\nMimeType={';'.join(self.HANDLED)};\n")
        (root / "config/mimeapps.list").write_text(
            "[Default Applications]\n" + "".join(f"{t}=recorder.desktop\n" for t in self.HANDLED))

    def environment(self, base=None):
        env = dict(os.environ if base is None else base)
        env.update(HOME=str(self.root / "home"),
                   XDG_CONFIG_HOME=str(self.root / "config"),
                   XDG_CONFIG_DIRS=str(self.root / "config"),
                   XDG_DATA_HOME=str(self.root / "data"),
                   XDG_DATA_DIRS=str(self.root / "data") + ":/usr/share",
                   XDG_RUNTIME_DIR=str(self.root / "runtime"),
                   GIO_USE_VFS="local")
        env.pop("XDG_CURRENT_DESKTOP", None)
        return env

    def urls(self, count, timeout=10):
        """The URLs recorded so far, waiting until there are count of them (or the time is up)."""
        deadline = time.monotonic() + timeout
        while True:
            lines = self.recorded.read_text().splitlines() if self.recorded.exists() else []
            if len(lines) >= count or time.monotonic() > deadline:
                return lines
            time.sleep(0.05)

    def cleanup(self):
        self._dir.cleanup()
