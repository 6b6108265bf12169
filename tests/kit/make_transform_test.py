#!/usr/bin/env python3
"""samples/tools/make_transform.py refuses what would make a broken transform, and says why.
(The transforms it writes are applied by Wine's msiexec in the end-to-end cases.)"""
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(__file__), "..", "..", "samples", "tools", "make_transform.py")


def run(*args):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "1036.mst")
        done = subprocess.run([sys.executable, TOOL, out, "--language", "1036", *args],
                              capture_output=True, text=True, encoding="utf-8")
        return done.returncode, done.stderr, os.path.exists(out)


class MakeTransformTest(unittest.TestCase):
    def test_refusals(self):
        cases = [
            (["X=1", "X=2"], "X is set twice"),
            (["ProductLanguage=1036"], "ProductLanguage is set twice"),
            (["EMPTY="], "value cannot be empty"),
            (["NOVALUE"], "not NAME=VALUE"),
            (["TEXT=\u65e5\u672c"], "code page 1252"),
        ]
        for args, reason in cases:
            with self.subTest(args=args):
                code, err, written = run(*args)
                self.assertEqual(code, 2)
                self.assertIn(reason, err)
                self.assertFalse(written)

    def test_texts_of_another_code_page(self):
        code, err, written = run("--codepage", "932", "TEXT=\u65e5\u672c")
        self.assertEqual((code, err), (0, ""))
        self.assertTrue(written)


if __name__ == "__main__":
    unittest.main()
