"""Self-update of the Windows build under Wine: the board program finds a newer build and
Vurnup.exe in the share, hands over to the updater, which replaces Vurna3.exe and starts it
with -Reboot; the new program greets the user and deletes its updater copy.

Usage: test_windows_update.py STAGE_DIR   (the staged program folder: Vurna3.exe, Vurnup.exe,
Qt's DLLs). Needs a display (the restarted program gets no -platform option): DISPLAY set."""

import os
import shutil
import sys
import unittest

from wine_helpers import Prefix, wait_for, windows_path

STAGE = None
NOTICE = "Vurnaを最新版に更新しました。"
# 3 s before the updater starts, 2 s before it restarts the program, 10 s before the copy goes,
# each stretched by Wine starting processes.
SLOW = 90


class WindowsUpdate(unittest.TestCase):
    def setUp(self):
        self.prefix = Prefix("update")
        root = self.prefix.root
        self.program_dir = os.path.join(root, "program")
        shutil.copytree(STAGE, self.program_dir)
        self.program = os.path.join(self.program_dir, "Vurna3.exe")
        self.share = os.path.join(root, "Share")
        os.makedirs(self.share)
        with open(self.program, "rb") as f:
            self.new_build = f.read() + b"\0new build\0"
        files = {
            "vurna.ini": b"[UPDATE]\r\nUPDATE=AUTO VERSION=9.99\r\n",
            "yamada.vrn": '"ﾔﾏﾀﾞ"\r\n"山田"\r\n"営業"\r\n""\r\n""\r\n""\r\n""\r\n""\r\n"127.0.0.2"\r\n"0"\r\n"0"\r\n""'
            .encode("cp932"),
            "yamada.off": b"",
            "Vurna3.exe": self.new_build,
        }
        with open(os.path.join(self.program_dir, "Vurnup.exe"), "rb") as f:
            files["Vurnup.exe"] = f.read()
        os.remove(os.path.join(self.program_dir, "Vurnup.exe"))
        for name, data in files.items():
            with open(os.path.join(self.share, name), "wb") as f:
                f.write(data)
        share = windows_path(self.share) + "\\"
        self.prefix.set_settings({"ShareDir": share, "FileName": share + "yamada", "Name": "山田", "AutoSmall": 1})
        self.boxes = os.path.join(root, "boxes.txt")
        self.env = dict(self.prefix.env, VURNA_ADDRESS="127.0.0.2", VURNA_DIAGNOSTICS="vurna.*.info=true",
                        VURNA_MESSAGE_LOG=windows_path(self.boxes))

    def tearDown(self):
        self.prefix.close()

    def shown(self):
        try:
            with open(self.boxes, encoding="utf-8") as f:
                return f.read()
        except OSError:
            return ""

    def in_share(self, name):
        """Whether the share holds `name` in any letter case: the Windows program names its files
        upper-cased, and Wine creates them as named."""
        return name.lower() in (entry.lower() for entry in os.listdir(self.share))

    def program_bytes(self):
        with open(self.program, "rb") as f:
            return f.read()

    def test_old_program_hands_over_and_the_updater_starts_the_new_build(self):
        with open(os.path.join(self.prefix.root, "old.txt"), "wb+") as log:
            old = self.prefix.start(windows_path(self.program), env=self.env, stdout=log, stderr=log)
            self.assertEqual(old.wait(SLOW), 0)
            log.seek(0)
            diagnostics = log.read().decode("utf-8", "replace")
        self.assertIn("handed over to the updater", diagnostics)
        wait_for(lambda: self.program_bytes() == self.new_build, SLOW, "Vurna3.exe replaced by the new build")
        wait_for(lambda: NOTICE in self.shown(), SLOW, "the update notice of the program started with -Reboot")
        wait_for(lambda: not self.in_share("yamada.off"), SLOW,
                 "the new program marked running")
        wait_for(lambda: not os.path.exists(os.path.join(self.program_dir, "Vurnup.exe")), SLOW,
                 "the updater's copy deleted")
        # A log-off ends it as Windows would, through its normal shutdown.
        self.prefix.run("wineboot", "--end-session", check=False)
        wait_for(lambda: self.in_share("yamada.off"), SLOW,
                 "the new program ended the normal way at log-off")
        print("checked: hand-over, Vurna3.exe replaced byte for byte, -Reboot notice, updater copy deleted, "
              "normal end at log-off")


if __name__ == "__main__":
    STAGE = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
