"""Self-update with the real programs: the old board program hands over to the updater, which
replaces it and starts the new build with -Reboot.

Usage: test_update.py <path of Vurna3> <path of Vurnup.exe> [unittest names...]"""

import os
import shutil
import signal
import stat
import subprocess
import sys
import threading
import time
import unittest

import vurna_e2e
from vurna_e2e import Board, wait_for

UPDATER = None
NOTICE = "Vurnaを最新版に更新しました。"
# The whole hand-over waits 3 s, the updater 2 s more, the new program 10 s before it deletes
# the updater's copy.
SLOW = 40.0


def lock_owner(runtime):
    """The process id in the single-instance lock, or None."""
    try:
        with open(os.path.join(runtime, "VurnaMutex.lock"), "rb") as f:
            return int(f.read().split(b"\n")[0])
    except (OSError, ValueError):
        return None


def alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


def cmdline(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return f.read().split(b"\0")[:-1]
    except OSError:
        return []


class Watch:
    """Reads the user's status file every few milliseconds and keeps every locate it held."""

    def __init__(self, share, name):
        self.locates = set()
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, args=(share, name), daemon=True)
        self._thread.start()

    def _run(self, share, name):
        while not self._stop.is_set():
            data = share.read(name)
            if data:
                lines = data.decode("cp932", "replace").split("\r\n")
                if len(lines) > 4:
                    self.locates.add(lines[4].strip('"'))
            time.sleep(0.005)

    def stop(self):
        if self._stop.is_set():
            return self.locates
        self._stop.set()
        self._thread.join()
        return self.locates


class Update(unittest.TestCase):
    def setUp(self):
        self.board = Board()
        self.share = self.board.share
        self.share.add_member("yamada", "ﾔﾏﾀﾞ", "山田", "営業", "127.0.0.2", default_on_exit=1)
        self.share.write("yamada.def", '"17:30"\r\n"1"\r\n"直帰"'.encode("cp932"))
        self.share.write("yamada.off", b"")
        self.program_dir = os.path.join(self.board.root, "program")
        os.makedirs(self.program_dir)
        self.program = os.path.join(self.program_dir, "Vurna3")
        shutil.copyfile(vurna_e2e.VURNA3, self.program)
        os.chmod(self.program, 0o755)
        with open(vurna_e2e.VURNA3, "rb") as f:
            self.new_build = f.read() + b"\0new build\0"
        self.share.write("Vurna3", self.new_build)
        self.share.write("Vurnup.exe", open(UPDATER, "rb").read())
        self.profile = self.board.profile("pc1", FileName=self.share.path + "/yamada", Name="山田",
                                          Furigana="ﾔﾏﾀﾞ")
        self.boxes = os.path.join(self.board.root, "boxes.txt")
        self.stderr = open(os.path.join(self.board.root, "stderr.txt"), "wb")
        self.env = dict(os.environ)
        self.env.update({
            "QT_QPA_PLATFORM": "offscreen",
            "QT_LOGGING_RULES": "vurna.*.info=true",
            "XDG_CONFIG_HOME": self.profile.config,
            "XDG_RUNTIME_DIR": self.profile.runtime,
            "VURNA_ADDRESS": self.profile.address,
            "VURNA_MESSAGE_LOG": self.boxes,
        })
        self.watch = Watch(self.share, "yamada.vrn")

    def tearDown(self):
        self.watch.stop()
        pid = lock_owner(self.profile.runtime)
        if pid and alive(pid):
            os.kill(pid, signal.SIGKILL)
        self.stderr.close()
        self.board.close()

    def start(self, *command):
        return subprocess.Popen(list(command), env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=self.stderr)

    def program_bytes(self):
        with open(self.program, "rb") as f:
            return f.read()

    def shown(self):
        try:
            with open(self.boxes, encoding="utf-8") as f:
                return f.read()
        except OSError:
            return ""

    def diagnostics(self):
        with open(self.stderr.name, encoding="utf-8", errors="replace") as f:
            return f.read()

    def check_new_program_runs(self, old_pid, handed_over=True):
        """The new build runs as the lock's owner, started with -Reboot alone, marked running,
        has greeted the user and removes the updater's copy; then it is ended normally. A
        hand-over writes no exit default absence on the way (a normal end does)."""
        wait_for(lambda: self.program_bytes() == self.new_build, SLOW, what="the program replaced")
        wait_for(lambda: NOTICE in self.shown(), SLOW, what="the update notice")
        pid = wait_for(lambda: (lock_owner(self.profile.runtime) or 0) not in (0, old_pid)
                       and lock_owner(self.profile.runtime), SLOW, what="the new program's lock")
        self.assertEqual(cmdline(pid)[1:], [b"-Reboot"])
        self.assertEqual(os.path.realpath("/proc/%d/exe" % pid), os.path.realpath(self.program))
        wait_for(lambda: not self.share.has("yamada.off"), SLOW, what="the new program marked running")
        self.assertEqual(os.stat(self.program).st_mode & 0o111, 0o111, "the new program stays executable")
        wait_for(lambda: not os.path.exists(os.path.join(self.program_dir, "Vurnup.exe")), SLOW,
                 what="the updater's copy deleted")
        # Ended normally, the new program writes the exit default: watch only up to here.
        locates = self.watch.stop()
        os.kill(pid, signal.SIGTERM)
        wait_for(lambda: not alive(pid) or open("/proc/%d/stat" % pid).read().split()[2] == "Z", SLOW,
                 what="the new program ended")
        if handed_over:
            self.assertNotIn("直帰", locates, "exit default absence on the way:\n" + self.diagnostics())
        else:
            self.assertIn("直帰", locates, "the watch sees what a normal end writes")

    def test_old_program_hands_over_and_the_updater_starts_the_new_build(self):
        self.share.write("vurna.ini", b"[UPDATE]\r\nUPDATE=AUTO VERSION=9.99\r\n")
        old = self.start(self.program)
        self.assertEqual(old.wait(SLOW), 0)
        self.assertIn("handed over to the updater", self.diagnostics())
        self.check_new_program_runs(old.pid)

    def test_updater_waits_while_the_board_program_still_runs(self):
        old = self.start(self.program)
        wait_for(lambda: "start-up finished" in self.diagnostics(), SLOW, what="the old program started")
        updater = os.path.join(self.program_dir, "Vurnup.exe")
        shutil.copyfile(UPDATER, updater)
        os.chmod(updater, 0o755)
        self.start(updater, "-Update", os.path.join(self.share.path, "Vurna3"), self.program)
        time.sleep(2.5)
        self.assertNotEqual(self.program_bytes(), self.new_build, "replaced under a running program")
        old.send_signal(signal.SIGTERM)
        self.assertEqual(old.wait(SLOW), 0)
        # The new start reads no update in the site configuration: only -Reboot greets.
        self.check_new_program_runs(old.pid, handed_over=False)
        self.assertNotIn("Vurnup", self.shown(), "the updater did not have to ask")

    def test_updater_leaves_a_program_that_keeps_running_alone(self):
        old = self.start(self.program)
        wait_for(lambda: "start-up finished" in self.diagnostics(), SLOW, what="the old program started")
        updater = os.path.join(self.program_dir, "Vurnup.exe")
        shutil.copyfile(UPDATER, updater)
        os.chmod(updater, 0o755)
        self.env["VURNA_MESSAGE_ANSWERS"] = "ok"
        run = self.start(updater, "-Update", os.path.join(self.share.path, "Vurna3"), self.program)
        self.assertEqual(run.wait(SLOW), 1, "failed, and said so")
        shown = self.shown()
        self.assertIn("Vurnup\t49\tこのパソコンで実行されている「Vurnaboard」は", shown, "asked after 10 s")
        self.assertIn("理由: ファイルの上書き、または上書き後の再起動に失敗しました", shown)
        self.assertNotEqual(self.program_bytes(), self.new_build, "replaced under a running program")
        self.assertIsNone(old.poll(), "the old program runs on")
        old.send_signal(signal.SIGTERM)
        self.assertEqual(old.wait(SLOW), 0)


if __name__ == "__main__":
    vurna_e2e.VURNA3 = os.path.abspath(sys.argv[1])
    UPDATER = os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
