"""The real Vurna3 on a file server that stops answering: it still ends within ten seconds, and
what it could not write is written at its next start.

Usage: test_hung_server.py <path of Vurna3> <path of slowshare> [unittest names...]"""

import os
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import vurna_e2e
from vurna_e2e import Board, wait_for

SLOWSHARE = None


def ended(process):
    """The process has ended, or ended but for threads the kernel holds in a request the stopped
    server had already taken: FUSE lets no signal end such a wait (a kernel SMB client's waits
    are killable), so they go when the server answers."""
    if process.poll() is not None:
        return True
    tasks = "/proc/%d/task" % process.pid
    try:
        held = []
        for task in os.listdir(tasks):
            with open(os.path.join(tasks, task, "stat"), encoding="utf-8") as stat:
                state = stat.read().rsplit(")", 1)[1].split()[0]
            with open(os.path.join(tasks, task, "status"), encoding="utf-8") as status:
                pending = next(int(line.split()[1], 16) for line in status if line.startswith("SigPnd:"))
            held.append(state == "Z" if task == str(process.pid) else state == "D" and pending & (1 << (signal.SIGKILL - 1)))
        return all(held)
    except (FileNotFoundError, ProcessLookupError):
        return process.poll() is not None


def mounted(point):
    with open("/proc/self/mounts", encoding="utf-8") as mounts:
        return any(line.split()[1] == point for line in mounts)


class HungServer(unittest.TestCase):
    def setUp(self):
        if not os.path.exists("/dev/fuse") or not os.access(SLOWSHARE, os.X_OK):
            self.skipTest("no FUSE or no slowshare")
        self.board = Board()
        self.share = self.board.share
        self.share.add_member("yamada", "ﾔﾏﾀﾞ", "山田", "営業", "127.0.0.2")
        self.point = tempfile.mkdtemp(prefix="vurna-hung-")
        # The server: the share's folder served through slowshare, stopped and resumed by signals.
        self.server = subprocess.Popen([SLOWSHARE, "--delay-ms=0", self.share.path, self.point])
        wait_for(lambda: mounted(self.point), what="the mount")

    def tearDown(self):
        self.server.send_signal(signal.SIGCONT)
        self.board.close()
        subprocess.call(["fusermount3", "-u", self.point])
        self.server.wait(30)
        os.rmdir(self.point)

    def test_the_program_ends_within_ten_seconds_and_the_next_start_writes_what_was_kept(self):
        served = self.point
        profile = self.board.profile("pc1", ShareDir=served + "/", FileName=served + "/yamada", Name="山田")
        copy = self.board.start(profile)
        copy.wait_started()
        # A request the server has taken and not answered holds the process until it does: the
        # stop comes once the start's writes are done.
        copy.wait_log("own entry marked running")
        self.share.write("yamada.ftr", b"")
        self.server.send_signal(signal.SIGSTOP)
        began = time.monotonic()
        copy.signal(signal.SIGTERM)
        wait_for(lambda: ended(copy.process), timeout=10, what="the end")
        self.assertLess(time.monotonic() - began, 10)
        self.assertTrue(copy.has_logged("the shared directory did not answer at the end"))
        self.assertEqual(self.share.read("yamada.ftr"), b"", "written although the server was stopped")

        self.server.send_signal(signal.SIGCONT)
        self.assertEqual(copy.wait_exit(timeout=10), 0)
        again = self.board.start(profile)
        again.wait_started()
        wait_for(lambda: (self.share.read("yamada.ftr") or b"").startswith(b"[MyDirectory]\r\n"), what="the kept filter file")
        self.assertTrue(again.has_logged("written what the last run could not"))
        self.assertEqual(again.stop(), 0)

    def test_a_start_that_waits_on_the_server_still_ends_within_ten_seconds(self):
        served = self.point
        profile = self.board.profile("pc1", ShareDir=served + "/", FileName=served + "/yamada", Name="山田")
        self.server.send_signal(signal.SIGSTOP)
        copy = self.board.start(profile)
        time.sleep(1)
        began = time.monotonic()
        copy.signal(signal.SIGTERM)
        wait_for(lambda: ended(copy.process), timeout=10, what="the end")
        self.assertLess(time.monotonic() - began, 10)
        self.assertTrue(copy.has_logged("without waiting any longer for the shared directory"))
        self.server.send_signal(signal.SIGCONT)
        self.assertEqual(copy.wait_exit(timeout=10), 0)

if __name__ == "__main__":
    vurna_e2e.VURNA3 = sys.argv[1]
    SLOWSHARE = sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])
