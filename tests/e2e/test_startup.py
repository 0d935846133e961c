"""Start-up, shutdown and the single-instance rule of the real Vurna3.

Usage: test_startup.py <path of Vurna3> [unittest names...]"""

import os
import signal
import sys
import unittest

import vurna_e2e
from vurna_e2e import Board, user_file, wait_for


def value_lines(data):
    """The values of a user status file, without their double quotes."""
    return [line.strip('"') for line in data.decode("cp932").split("\r\n") if line]


class Case(unittest.TestCase):
    def setUp(self):
        self.board = Board()
        self.share = self.board.share
        self.share.add_member("yamada", "ﾔﾏﾀﾞ", "山田", "営業", "127.0.0.2")
        self.share.add_member("suzuki", "ｽｽﾞｷ", "鈴木", "総務", "127.0.0.3")
        self.share.write("yamada.off", b"")
        self.share.write("timestmp.dat", b"7\r\nSUZUKI\r\n")

    def tearDown(self):
        self.board.close()

    def own_profile(self, label="pc1", **settings):
        values = {"FileName": self.share.path + "/yamada", "Name": "山田", "Furigana": "ﾔﾏﾀﾞ"}
        values.update(settings)
        return self.board.profile(label, **values)


class StartUp(Case):
    def test_own_stop_marker_deleted_and_change_stamp_advanced(self):
        copy = self.board.start(self.own_profile())
        copy.wait_log("own entry marked running")
        self.assertFalse(self.share.has("yamada.off"))
        self.assertEqual(self.share.read("timestmp.dat"), b"8\r\nYAMADA\r\n")
        copy.wait_started()
        self.assertEqual(copy.stop(), 0)

    def test_status_file_rewritten_when_the_address_changed(self):
        self.share.add_member("yamada", "ﾔﾏﾀﾞ", "山田", "営業", "10.9.9.9", locate="会議")
        profile = self.own_profile()
        copy = self.board.start(profile)
        copy.wait_started()
        values = value_lines(self.share.read("yamada.vrn"))
        self.assertEqual(values[8], profile.address)
        self.assertEqual(values[1], "山田")
        self.assertEqual(values[4], "会議", "the rest of the record is kept")
        copy.stop()

    def test_status_file_kept_when_the_address_is_the_same(self):
        # A blank line between two values: the reader skips it, a rewrite would drop it.
        data = user_file("ﾔﾏﾀﾞ", "山田", "営業", "127.0.0.2").replace(b"\r\n", b"\r\n\r\n", 1)
        self.share.write("yamada.vrn", data)
        profile = self.own_profile()
        self.assertEqual(profile.address, "127.0.0.2")
        copy = self.board.start(profile)
        copy.wait_started()
        self.assertEqual(self.share.read("yamada.vrn"), data)
        copy.stop()
        self.assertEqual(self.share.read("yamada.vrn"), data)

    def test_guest_writes_nothing_in_the_share(self):
        before = self.share.snapshot()
        copy = self.board.start(self.board.profile("guest"))
        copy.wait_started()
        self.assertTrue(copy.has_logged("guest: nothing written"))
        self.assertEqual(copy.stop(), 0)
        self.assertEqual(self.share.snapshot(), before)


class Shutdown(Case):
    def check_normal_end(self, number):
        profile = self.own_profile("pc-%d" % number)
        copy = self.board.start(profile)
        copy.wait_started()
        self.assertFalse(self.share.has("yamada.off"))
        copy.signal(number)
        self.assertEqual(copy.wait_exit(), 0)
        self.assertTrue(copy.has_logged("saved: stop marker written"))
        self.assertEqual(self.share.read("yamada.off"), b"")
        self.assertEqual(self.share.read("timestmp.dat"), b"9\r\nYAMADA\r\n")
        self.assertTrue(self.share.read("yamada.ftr").startswith(b"[MyDirectory]\r\n"))
        settings = profile.settings()
        for key in ("NormalLeft", "NormalTop", "NormalRight", "NormalBottom", "MaxLeft"):
            self.assertIn(key, settings)
        self.assertEqual(settings.get("MaxTop"), "0")
        self.assertEqual(int(settings["NormalRight"]) - int(settings["NormalLeft"]), 640)

    def test_sigterm_writes_stop_marker_filter_file_and_placement(self):
        self.check_normal_end(signal.SIGTERM)

    def test_sigint_and_sighup_end_the_same_way(self):
        self.check_normal_end(signal.SIGINT)
        self.share.write("timestmp.dat", b"7\r\nSUZUKI\r\n")
        self.check_normal_end(signal.SIGHUP)


class SingleInstance(Case):
    def test_second_start_wakes_the_first_and_ends(self):
        profile = self.own_profile()
        first = self.board.start(profile)
        first.wait_started()
        stamp = self.share.read("timestmp.dat")
        second = self.board.start(profile)
        self.assertEqual(second.wait_exit(), 0)
        first.wait_log("second start: window brought forward")
        self.assertFalse(second.has_logged("start-up begins"), "the second copy opened no window")
        self.assertEqual(self.share.read("timestmp.dat"), stamp, "the second copy wrote nothing")
        self.assertIsNone(first.process.poll())
        first.stop()

    def test_killed_copy_does_not_block_the_next_start(self):
        profile = self.own_profile()
        first = self.board.start(profile)
        first.wait_started()
        first.kill()
        self.assertFalse(self.share.has("yamada.off"), "a killed copy saves nothing")
        # The dead copy's lock and channel are still there; they must not stop the next one.
        self.assertTrue(os.path.exists(os.path.join(profile.runtime, "VurnaMutex.lock")))
        self.assertTrue(os.path.exists(os.path.join(profile.runtime, "VurnaWakeup")))
        second = self.board.start(profile)
        second.wait_started()
        second.wait_log("window")  # shown, minimised or in the tray: it runs
        self.assertIsNone(second.process.poll())
        self.assertEqual(second.stop(), 0)
        self.assertTrue(self.share.has("yamada.off"))

    def test_copies_with_their_own_session_run_side_by_side(self):
        self.share.add_member("suzuki", "ｽｽﾞｷ", "鈴木", "総務", "127.0.0.9")
        first = self.board.start(self.own_profile("pc1"))
        second = self.board.start(self.board.profile(
            "pc2", FileName=self.share.path + "/suzuki", Name="鈴木", Furigana="ｽｽﾞｷ"))
        first.wait_started()
        second.wait_started()
        wait_for(lambda: value_lines(self.share.read("suzuki.vrn"))[8] != "127.0.0.9", what="suzuki's address")
        self.assertEqual(first.stop(), 0)
        self.assertEqual(second.stop(), 0)
        self.assertTrue(self.share.has("yamada.off"))
        self.assertTrue(self.share.has("suzuki.off"))


if __name__ == "__main__":
    vurna_e2e.VURNA3 = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
