"""web/make-texts.py: the page's texts come from the .ts files, all of them or none."""

import json
import pathlib
import subprocess
import sys
import tempfile
import unittest

MAKE_TEXTS = pathlib.Path(__file__).parents[2] / "web" / "make-texts.py"

PAGE = 'const a = tr("ViewerDialog", "Next"), b = tr("vistrel::ViewerDialog", "Seed %1");\n'


def ts(*messages):
    """A Qt Linguist file of (context, source, translation, type) messages."""
    contexts = {}
    for context, source, translation, kind in messages:
        attribute = f' type="{kind}"' if kind else ""
        contexts.setdefault(context, []).append(
            f"<message><source>{source}</source>"
            f"<translation{attribute}>{translation}</translation></message>")
    body = "".join(f"<context><name>{name}</name>{''.join(items)}</context>"
                   for name, items in contexts.items())
    return f'<?xml version="1.0" encoding="utf-8"?><TS version="2.1" language="zh_CN">{body}</TS>'


NEXT = ("ViewerDialog", "Next", "下一张", None)
SEED = ("vistrel::ViewerDialog", "Seed %1", "种子 %1", None)


class MakeTextsTest(unittest.TestCase):
    def run_make_texts(self, page, ts_text):
        temporary = tempfile.TemporaryDirectory(prefix="vistrel-texts-")
        self.addCleanup(temporary.cleanup)
        folder = pathlib.Path(temporary.name)
        (folder / "page.js").write_text(page, encoding="utf-8")
        (folder / "vistrel_zh_CN.ts").write_text(ts_text, encoding="utf-8")
        output = folder / "texts.js"
        done = subprocess.run([sys.executable, str(MAKE_TEXTS), "--page", str(folder / "page.js"),
                               "--output", str(output), str(folder / "vistrel_zh_CN.ts")],
                              capture_output=True, text=True)
        return done, output

    def test_every_text_the_page_names_is_taken_from_the_translations(self):
        done, output = self.run_make_texts(PAGE, ts(NEXT, SEED, ("Other", "Unused", "x", None)))
        self.assertEqual(done.returncode, 0, done.stderr)
        table = output.read_text(encoding="utf-8").split("var VistrelTexts = ", 1)[1]
        self.assertEqual(json.loads(table.rstrip().rstrip(";")), {"zh-CN": {
            "ViewerDialog\u0004Next": "下一张",
            "vistrel::ViewerDialog\u0004Seed %1": "种子 %1",
        }})

    def test_a_text_without_a_finished_translation_stops_the_build(self):
        cases = [
            ("missing", PAGE, ts(NEXT), "'vistrel::ViewerDialog', source 'Seed %1'"),
            ("unfinished", PAGE, ts(NEXT, SEED[:3] + ("unfinished",)), "source 'Seed %1'"),
            ("other context", PAGE, ts(NEXT, ("ViewerDialog",) + SEED[1:]), "source 'Seed %1'"),
            ("no texts", "const a = 1;\n", ts(NEXT), "names no text"),
        ]
        for name, page, ts_text, said in cases:
            with self.subTest(name):
                done, output = self.run_make_texts(page, ts_text)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn(said, done.stderr)
                self.assertFalse(output.exists())
