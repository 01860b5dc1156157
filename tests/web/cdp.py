"""A small client of Chromium's DevTools protocol: starts headless Chromium, opens pages, and
drives them as a user would (keys and clicks as input events), reading back screenshots."""

import base64
import io
import json
import math
import pathlib
import shutil
import subprocess
import tempfile
import time

import websocket
from PIL import Image

STARTUP_SECONDS = 30
DEFAULT_TIMEOUT = 60


class ProtocolError(RuntimeError):
    pass


class Browser:
    """One headless Chromium with a private profile, removed when closed."""

    def __init__(self, executable="chromium"):
        self.profile = pathlib.Path(tempfile.mkdtemp(prefix="vistrel-chromium-"))
        self.downloads = self.profile / "downloads"
        self.downloads.mkdir()
        self.process = subprocess.Popen(
            [executable, "--headless=new", "--no-sandbox", "--disable-gpu",
             "--no-first-run", "--no-default-browser-check", "--disable-extensions",
             "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--hide-scrollbars", "--mute-audio",
             "--remote-debugging-port=0", f"--user-data-dir={self.profile}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.socket = websocket.create_connection(self._browser_address(), timeout=DEFAULT_TIMEOUT,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []

    def _browser_address(self):
        port_file = self.profile / "DevToolsActivePort"
        deadline = time.monotonic() + STARTUP_SECONDS
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise ProtocolError(f"chromium exited with status {self.process.returncode}")
            lines = port_file.read_text().split("\n") if port_file.exists() else []
            if len(lines) >= 2 and lines[1]:
                return f"ws://127.0.0.1:{lines[0]}{lines[1]}"
            time.sleep(0.05)
        raise ProtocolError("chromium did not open its DevTools port")

    def send(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise ProtocolError(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def wait_for_event(self, method, session=None, timeout=DEFAULT_TIMEOUT):
        deadline = time.monotonic() + timeout
        while True:
            for event in self.events:
                if event["method"] == method and (session is None or
                                                  event.get("sessionId") == session):
                    self.events.remove(event)
                    return event.get("params", {})
            if time.monotonic() > deadline:
                raise ProtocolError(f"no {method} within {timeout} s")
            self.socket.settimeout(max(0.01, deadline - time.monotonic()))
            try:
                reply = json.loads(self.socket.recv())
            except websocket.WebSocketTimeoutException:
                continue
            finally:
                self.socket.settimeout(DEFAULT_TIMEOUT)
            if "method" in reply:
                self.events.append(reply)

    def new_page(self, width=800, height=600, scale=1, language=None):
        target = self.send("Target.createTarget", url="about:blank")["targetId"]
        session = self.send("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        return Page(self, target, session, width, height, scale, language)

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)


# Keys as the protocol names them: (key, code, Windows virtual key code, text).
KEYS = {
    "Enter": ("Enter", "Enter", 13, "\r"),
    "PageDown": ("PageDown", "PageDown", 34, ""),
    "PageUp": ("PageUp", "PageUp", 33, ""),
    "Escape": ("Escape", "Escape", 27, ""),
    "F11": ("F11", "F11", 122, ""),
    "Tab": ("Tab", "Tab", 9, ""),
}
CONTROL = 2


class Page:
    def __init__(self, browser, target, session, width, height, scale, language):
        self.browser = browser
        self.target = target
        self.session = session
        self.send("Page.enable")
        self.send("Network.enable")
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=scale, mobile=False, screenWidth=width,
                  screenHeight=height)
        if language:
            user_agent = self.evaluate("navigator.userAgent")
            self.send("Emulation.setUserAgentOverride", userAgent=user_agent,
                      acceptLanguage=language)
        self.send("Browser.setDownloadBehavior", behavior="allowAndName",
                  downloadPath=str(browser.downloads), eventsEnabled=True)

    def send(self, method, **params):
        if method.startswith("Browser."):
            return self.browser.send(method, **params)
        return self.browser.send(method, self.session, **params)

    def navigate(self, url):
        self.browser.events.clear()
        self.send("Page.navigate", url=url)
        self.browser.wait_for_event("Page.loadEventFired", self.session)

    def requested_urls(self):
        return [event["params"]["request"]["url"] for event in self.browser.events
                if event["method"] == "Network.requestWillBeSent" and
                event.get("sessionId") == self.session]

    def evaluate(self, expression, timeout=DEFAULT_TIMEOUT):
        self.browser.socket.settimeout(timeout)
        try:
            result = self.send("Runtime.evaluate", expression=expression, awaitPromise=True,
                               returnByValue=True)
        finally:
            self.browser.socket.settimeout(DEFAULT_TIMEOUT)
        if "exceptionDetails" in result:
            raise ProtocolError(f"{expression}: {result['exceptionDetails'].get('text')} "
                                f"{result['exceptionDetails'].get('exception', {})}")
        return result["result"].get("value")

    def wait_until(self, expression, timeout=DEFAULT_TIMEOUT):
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise ProtocolError(f"still false after {timeout} s: {expression}")
            time.sleep(0.05)

    def key(self, name, control=False):
        if name in KEYS:
            key, code, virtual, text = KEYS[name]
        else:
            key, code, virtual, text = name, f"Key{name.upper()}", ord(name.upper()), name
        modifiers = CONTROL if control else 0
        down = {"type": "keyDown", "key": key, "code": code, "windowsVirtualKeyCode": virtual,
                "modifiers": modifiers}
        if text and not control:
            down["text"] = text
        self.send("Input.dispatchKeyEvent", **down)
        self.send("Input.dispatchKeyEvent", type="keyUp", key=key, code=code,
                  windowsVirtualKeyCode=virtual, modifiers=modifiers)

    def type_text(self, text):
        self.send("Input.insertText", text=text)

    def box(self, selector):
        """The element's box in CSS pixels: x, y, width, height."""
        return self.evaluate(
            f"(() => {{ const r = document.querySelector({json.dumps(selector)})"
            ".getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; })()")

    def click(self, selector, count=1):
        x, y, width, height = self.box(selector)
        centre = {"x": x + width / 2, "y": y + height / 2, "button": "left"}
        for n in range(1, count + 1):
            self.send("Input.dispatchMouseEvent", type="mousePressed", clickCount=n, **centre)
            self.send("Input.dispatchMouseEvent", type="mouseReleased", clickCount=n, **centre)

    def screenshot(self, selector):
        """The element's box cut from a screenshot of the viewport, in device pixels, as an
        RGB image; the cut is exact wherever the box lies on whole device pixels."""
        ratio = self.evaluate("devicePixelRatio")
        x, y, width, height = (math.floor(v * ratio + 0.5) for v in self.box(selector))
        data = base64.b64decode(self.send("Page.captureScreenshot", format="png")["data"])
        with Image.open(io.BytesIO(data)) as image:
            return image.convert("RGB").crop((x, y, x + width, y + height))

    def close(self):
        self.browser.send("Target.closeTarget", targetId=self.target)
