"""The pictures the page must show, as vistrel-render writes them, and images to compare."""

import io
import os
import pathlib
import subprocess
import tempfile

from PIL import Image

RENDER = os.environ.get("VISTREL_RENDER", "vistrel-render")


def render(*arguments):
    """vistrel-render's PNG for the arguments, as an RGB image."""
    with tempfile.TemporaryDirectory() as folder:
        output = pathlib.Path(folder) / "picture.png"
        subprocess.run([RENDER, *map(str, arguments), "-o", str(output)], check=True)
        with Image.open(output) as image:
            return image.convert("RGB")


def render_output(*arguments):
    return subprocess.run([RENDER, *map(str, arguments)], check=True, capture_output=True,
                          text=True).stdout


def decoded(png_bytes):
    with Image.open(io.BytesIO(png_bytes)) as image:
        return image.convert("RGB")


def halved(image):
    """Each pixel the mean of a 2 x 2 block, per channel (a + b + c + d + 2) / 4, as the desktop
    gallery's thumbnails are."""
    width, height = image.width // 2, image.height // 2
    source = image.tobytes()
    row = image.width * 3
    out = bytearray(width * height * 3)
    for y in range(height):
        for x in range(width):
            top = (2 * y) * row + (2 * x) * 3
            bottom = top + row
            for c in range(3):
                total = (source[top + c] + source[top + 3 + c] + source[bottom + c] +
                         source[bottom + 3 + c] + 2)
                out[(y * width + x) * 3 + c] = total // 4
    return Image.frombytes("RGB", (width, height), bytes(out))


def differences(actual, expected):
    """None when the images are equal, else what differs, for a failure message."""
    if actual.size != expected.size:
        return f"size {actual.size} instead of {expected.size}"
    a, b = actual.tobytes(), expected.tobytes()
    if a == b:
        return None
    wrong = sum(1 for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3])
    first = next(i for i in range(0, len(a), 3) if a[i:i + 3] != b[i:i + 3]) // 3
    return (f"{wrong} of {len(a) // 3} pixels differ, the first at "
            f"({first % actual.width}, {first // actual.width})")
