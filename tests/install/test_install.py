"""`cmake --install` into a temporary prefix: both programs side by side, the command, the desktop
entry naming the installed program, and the icons at every size.

Usage: test_install.py <cmake> <build dir>"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest

CMAKE = None
BUILD = None
SIZES = (16, 24, 32, 48, 64, 128, 256)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])


def exec_program(value):
    """The program an Exec value runs, read as a desktop session reads it: the string's escapes
    first, then the one double-quoted argument's, and '%%' as a single '%'."""
    text = value.replace("\\\\", "\x00")
    assert text.startswith('"') and text.endswith('"'), value
    text = text[1:-1].replace("\x00", "\\")
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in '"`$\\':
            out.append(text[i + 1])
            i += 2
        elif text.startswith("%%", i):
            out.append("%")
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


class Install(unittest.TestCase):
    def test_prefix_holds_programs_command_entry_and_icons(self):
        with tempfile.TemporaryDirectory(prefix="vurna install ") as root:
            # Blanks and the characters a desktop entry must escape.
            prefix = os.path.join(root, 'my $prefix "100%"')
            subprocess.run([CMAKE, "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL)
            folder = os.path.join(prefix, "libexec", "vurnaboard")
            program = os.path.join(folder, "Vurna3")
            for name in ("Vurna3", "Vurnup.exe"):
                self.assertTrue(os.access(os.path.join(folder, name), os.X_OK), name)
            command = os.path.join(prefix, "bin", "Vurna3")
            self.assertTrue(os.path.islink(command))
            self.assertEqual(os.path.realpath(command), os.path.realpath(program))

            with open(os.path.join(prefix, "share", "applications", "vurnaboard.desktop"), encoding="utf-8") as f:
                entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
            self.assertEqual(exec_program(entry["Exec"]), program, entry["Exec"])
            self.assertEqual(entry["Icon"], "vurnaboard")
            self.assertEqual(entry["Type"], "Application")

            for size in SIZES:
                icon = os.path.join(prefix, "share", "icons", "hicolor", "%dx%d" % (size, size), "apps",
                                    "vurnaboard.png")
                self.assertEqual(png_size(icon), (size, size))


if __name__ == "__main__":
    CMAKE, BUILD = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
