"""The web page in headless Chromium: its pictures, controls, links, downloads, gallery and
texts against vistrel-render and the desktop program's translations.

VISTREL_WEB_SITE names the built folder, VISTREL_RENDER the render tool."""

import functools
import http.server
import os
import pathlib
import sys
import threading
import time
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, str(pathlib.Path(__file__).parent))

import cdp  # noqa: E402
import pictures  # noqa: E402

SITE = pathlib.Path(os.environ.get("VISTREL_WEB_SITE", "build/web/site"))
TRANSLATIONS = pathlib.Path(__file__).parents[2] / "translations" / "vistrel_zh_CN.ts"
RUN = 1765432109
SEED = 20877


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


server = None
browser = None


def setUpModule():
    global server, browser
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=str(SITE)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    browser = cdp.Browser()


def tearDownModule():
    browser.close()
    server.shutdown()


def origin():
    return f"http://127.0.0.1:{server.server_port}"


class PageCase(unittest.TestCase):
    width, height, scale, language = 800, 600, 1, None

    def open(self, address, scale=None):
        self.page = browser.new_page(self.width, self.height, scale or self.scale, self.language)
        self.addCleanup(self.page.close)
        self.page.navigate(origin() + "/" + address)
        self.page.wait_until("window.vistrelPage && vistrelPage.firstPictureAt() !== null")
        return self.page

    def shown(self):
        return self.page.evaluate("vistrelPage.shown()")

    def wait_for_address(self, address):
        self.page.wait_until(f"location.hash === {address!r} && "
                             f"vistrelPage.shown().name !== undefined")

    def assertPictureIs(self, *render_arguments):
        """The whole picture area, read back from a screenshot, is what vistrel-render writes
        for a screen of its device pixels."""
        shown = self.shown()
        expected = pictures.render(*render_arguments, "--fit",
                                   f"{shown['width']}x{shown['height']}")
        actual = (self.page.screenshot("#stage"))
        self.assertIsNone(pictures.differences(actual, expected), shown)


class PictureTest(PageCase):
    def test_a_seed_link_paints_the_render_tools_picture_at_every_pixel_ratio(self):
        for scale in (1, 2):
            with self.subTest(scale=scale):
                self.open(f"#seed={SEED}", scale)
                shown = self.shown()
                self.assertEqual(shown["width"], self.width * scale)
                self.assertEqual(self.page.evaluate(
                    "document.getElementById('picture').getAttribute('aria-label')"),
                    f"Seed {SEED}")
                self.assertPictureIs("--seed", SEED)

    def test_a_run_link_paints_that_scene_of_the_series(self):
        self.open(f"#run={RUN}&scene=4")
        self.assertPictureIs("--run-seed", RUN, "--scene", 4)
        seed = self.shown()["seed"]
        self.assertEqual(self.shown()["name"], f"Scene 4 · seed {seed}")
        self.assertEqual(pictures.render_output("--seed", seed, "--digest").split()[1],
                         pictures.render_output("--run-seed", RUN, "--scene", 4,
                                                "--digest").split()[1])

    def test_an_address_naming_nothing_starts_a_new_series_at_scene_one(self):
        for address in ("", "#seed=x", "#seed=4294967296", "#run=1&scene="):
            with self.subTest(address=address):
                self.open(address)
                self.assertRegex(self.page.evaluate("location.hash"), r"^#run=\d+&scene=1$")

    def test_every_digest_equals_the_render_tools(self):
        self.open(f"#seed={SEED}")
        self.assertEqual(self.page.evaluate("vistrelPage.digests(0, 32767)", timeout=600),
                         pictures.render_output("--seeds", "0-32767", "--digest"))

    def test_the_page_asks_for_its_own_files_only(self):
        self.open(f"#seed={SEED}")
        urls = self.page.requested_urls()
        self.assertIn(origin() + "/vistrel.wasm", urls)
        self.assertEqual([url for url in urls if not url.startswith(origin() + "/")], [])


class ControlTest(PageCase):
    def step(self, action):
        kind, _, what = action.partition(" ")
        if kind == "key":
            control, _, name = what.rpartition("+")
            self.page.key(name, control=bool(control))
        elif kind == "click":
            self.page.click(what)
        elif kind == "history":
            self.page.evaluate(f"history.{what}()")

    def test_keys_buttons_and_history_step_through_the_series(self):
        self.open(f"#run={RUN}&scene=4")
        steps = [
            ("key PageDown", 5),
            ("key PageUp", 4),
            ("click #next", 5),
            ("click #previous", 4),
            # Enter presses the button that has the focus, as in the desktop viewer.
            ("key Enter", 3),
            ("history back", 4),
            ("history forward", 3),
            ("click #picture", 3),
            ("key Enter", 4),
        ]
        for action, scene in steps:
            with self.subTest(action=action):
                self.step(action)
                self.wait_for_address(f"#run={RUN}&scene={scene}")
                self.assertPictureIs("--run-seed", RUN, "--scene", scene)

    def test_previous_on_the_first_scene_does_nothing(self):
        self.open(f"#run={RUN}&scene=1")
        length = self.page.evaluate("history.length")
        self.page.click("#previous")
        self.page.key("PageUp")
        time.sleep(0.2)
        self.assertEqual(self.page.evaluate("[location.hash, history.length]"),
                         [f"#run={RUN}&scene=1", length])

    def enabled(self):
        return self.page.evaluate(
            "['previous', 'next', 'auto', 'stop', 'interval']"
            ".filter(id => !document.getElementById(id).disabled)")

    def test_auto_advances_each_interval_until_stop(self):
        self.open(f"#run={RUN}&scene=1")
        self.page.evaluate("document.getElementById('interval').value = '1'")
        self.assertEqual(self.enabled(), ["previous", "next", "auto", "interval"])
        self.page.click("#auto")
        self.assertEqual(self.enabled(), ["previous", "stop"])
        self.page.key("PageDown")
        self.wait_for_address(f"#run={RUN}&scene=2")
        self.wait_for_address(f"#run={RUN}&scene=3")
        self.page.click("#stop")
        stopped = self.page.evaluate("location.hash")
        self.assertEqual(self.enabled(), ["previous", "next", "auto", "interval"])
        time.sleep(1.5)
        self.assertEqual(self.page.evaluate("location.hash"), stopped)

    def test_control_g_shows_the_seed_typed(self):
        self.open(f"#run={RUN}&scene=2")
        self.page.key("g", control=True)
        self.page.wait_until("document.getElementById('seed-dialog').open")
        self.page.type_text("123")
        self.page.key("Enter")
        self.wait_for_address("#seed=123")
        self.assertPictureIs("--seed", 123)
        # Next goes on with the series that was on show.
        self.page.key("PageDown")
        self.wait_for_address(f"#run={RUN}&scene=3")

    def test_full_screen_fits_the_picture_on_the_whole_screen(self):
        self.open(f"#seed={SEED}")
        self.page.key("F11")
        self.page.wait_until("document.fullscreenElement !== null && "
                             f"vistrelPage.shown().height === {self.height}")
        self.assertPictureIs("--seed", SEED)
        self.page.key("Escape")
        self.page.wait_until("document.fullscreenElement === null")


class DownloadTest(PageCase):
    def download(self, choice):
        self.page.click("#save")
        self.page.wait_until("document.getElementById('save-dialog').open")
        self.page.evaluate(f"document.getElementById('save-scale').value = {choice!r}")
        self.page.click("#save-ok")
        begun = browser.wait_for_event("Browser.downloadWillBegin")
        while browser.wait_for_event("Browser.downloadProgress")["state"] != "completed":
            pass
        path = browser.downloads / begun["guid"]
        try:
            return begun["suggestedFilename"], path.read_bytes()
        finally:
            path.unlink()

    def test_downloads_hold_the_render_tools_pixels(self):
        cases = [
            ("1", f"vistrel-{SEED}.png", ["--scale", 1]),
            ("3", f"vistrel-{SEED}.png", ["--scale", 3]),
            ("8", f"vistrel-{SEED}.png", ["--scale", 8]),
            ("screen", f"vistrel-{SEED}-1600x1200.png", ["--fit", "1600x1200"]),
        ]
        self.open(f"#seed={SEED}", scale=2)
        for choice, name, arguments in cases:
            with self.subTest(choice=choice):
                saved_as, data = self.download(choice)
                self.assertEqual(saved_as, name)
                expected = pictures.render("--seed", SEED, *arguments)
                self.assertIsNone(pictures.differences(pictures.decoded(data), expected))


class GalleryTest(PageCase):
    def test_thumbnails_are_the_desktop_galleries(self):
        first = 1000
        for scale in (1, 2):
            with self.subTest(scale=scale):
                self.open(f"#seed={first}", scale)
                self.page.key("l", control=True)
                self.page.wait_until(f"document.querySelector('.cell[data-seed=\"{first + 2}\"]"
                                     "[data-painted]') !== null")
                # Only the rows in view have cells.
                self.assertLess(self.page.evaluate("document.querySelectorAll('.cell').length"),
                                40)
                for seed in range(first, first + 3):
                    picture = pictures.render("--seed", seed)
                    expected = pictures.halved(picture) if scale == 1 else picture
                    selector = f'.cell[data-seed="{seed}"] canvas'
                    actual = (self.page.screenshot(selector))
                    self.assertIsNone(pictures.differences(actual, expected), seed)
                    self.assertEqual(self.page.evaluate(
                        f"document.querySelector({selector!r}).getAttribute('aria-label')"),
                        f"Seed {seed}")
                self.page.click(f'.cell[data-seed="{first + 1}"]')
                self.wait_for_address(f"#seed={first + 1}")
                self.assertTrue(self.page.evaluate("document.getElementById('gallery').hidden"))


def chinese_texts():
    texts = {}
    for context in ElementTree.parse(TRANSLATIONS).getroot().iter("context"):
        for message in context.iter("message"):
            texts[(context.findtext("name"), message.findtext("source"))] = \
                message.findtext("translation")
    return texts


class LanguageTest(PageCase):
    BUTTONS = {
        "previous": ("ViewerDialog", "Previous"),
        "next": ("ViewerDialog", "Next"),
        "auto": ("ViewerDialog", "Auto"),
        "stop": ("ViewerDialog", "Stop"),
        "save": ("PictureActions", "Save Picture…"),
        "open-gallery": ("vistrel::ViewerDialog", "Gallery…"),
    }

    def button_texts(self):
        return self.page.evaluate(
            f"Object.fromEntries({list(self.BUTTONS)!r}.map("
            "id => [id, document.getElementById(id).textContent]))")

    def test_the_page_speaks_the_language_the_browser_prefers(self):
        translated = chinese_texts()
        cases = [
            ("zh-CN,zh", {id: translated[key] for id, key in self.BUTTONS.items()}),
            ("en-US,zh-CN", {id: key[1] for id, key in self.BUTTONS.items()}),
            ("fr-FR", {id: key[1] for id, key in self.BUTTONS.items()}),
        ]
        for language, expected in cases:
            with self.subTest(language=language):
                self.language = language
                self.open(f"#run={RUN}&scene=4")
                self.assertEqual(self.button_texts(), expected)
        self.assertEqual(self.shown()["name"], f"Scene 4 · seed {self.shown()['seed']}")


class ChineseNamesTest(PageCase):
    language = "zh-CN"

    def test_the_picture_is_named_in_chinese(self):
        self.open(f"#run={RUN}&scene=4")
        self.assertEqual(self.shown()["name"], f"第 4 幅 · 种子 {self.shown()['seed']}")
