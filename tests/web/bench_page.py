"""The web page's figures: a render in headless Chromium against the native
BM_RenderScene600x206 of the same run (both over seeds 0, 1, 2, ... at 600 x 206), the first
picture's time from the start of the page's load, and the site's size compressed.

VISTREL_WEB_SITE names the built folder, VISTREL_SCENE_BENCH the native scene_bench."""

import functools
import gzip
import http.server
import json
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, str(pathlib.Path(__file__).parent))

import cdp  # noqa: E402

SITE = pathlib.Path(os.environ.get("VISTREL_WEB_SITE", "build/web/site"))
SCENE_BENCH = os.environ.get("VISTREL_SCENE_BENCH", "scene_bench")
SEEDS = 1000
ROUNDS = 7
LOADS = 7


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


def native_microseconds():
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([SCENE_BENCH, "--benchmark_filter=^BM_RenderScene600x206(/|$)",
                        f"--benchmark_out={out.name}", "--benchmark_out_format=json"],
                       check=True, stdout=subprocess.DEVNULL)
        runs = json.load(open(out.name))["benchmarks"]
    return next(run["cpu_time"] for run in runs if run.get("aggregate_name") == "median")


def main():
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=str(SITE)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    address = f"http://127.0.0.1:{server.server_port}/"
    browser = cdp.Browser()
    try:
        first_pictures = []
        for _ in range(LOADS):
            page = browser.new_page()
            page.navigate(address + "#seed=20877")
            first_pictures.append(page.wait_until(
                "window.vistrelPage && vistrelPage.firstPictureAt()"))
            page.close()
        page = browser.new_page()
        page.navigate(address + "#seed=20877")
        page.wait_until("window.vistrelPage && vistrelPage.firstPictureAt() !== null")
        native = native_microseconds()
        web = statistics.median(
            page.evaluate(f"vistrelPage.timeRenders(0, {SEEDS}, 600, 206)")["milliseconds"] * 1000 /
            SEEDS for _ in range(ROUNDS))
    finally:
        browser.close()
        server.shutdown()

    sizes = {f.name: len(gzip.compress(f.read_bytes(), 9)) for f in sorted(SITE.iterdir())}
    print(f"render 600x206, median of {ROUNDS} rounds of {SEEDS} seeds: "
          f"browser {web:.1f} us, native {native:.1f} us, browser/native {web / native:.2f}")
    print(f"first picture after the start of the load: median {statistics.median(first_pictures):.0f} ms,"
          f" longest {max(first_pictures):.0f} ms of {LOADS} loads")
    print("site compressed (gzip -9): " + ", ".join(f"{n} {s}" for n, s in sizes.items()) +
          f"; total {sum(sizes.values())} bytes")


if __name__ == "__main__":
    main()
