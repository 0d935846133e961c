"""Broadcast mode between real hosts: three network namespaces joined by a bridge, one Vurna3
in each, none of them listed to the others by address beforehand. A copy that starts or
stops is heard by the others through the network's broadcast address.

Creating namespaces needs the right to administer the network (root or CAP_NET_ADMIN);
without it the test is skipped (exit code 77) and says why.

Usage: test_broadcast.py <path of Vurna3> [unittest names...]"""

import os
import subprocess
import sys
import unittest

import vurna_e2e
from vurna_e2e import Board

SKIPPED = 77
NETWORK = "10.231.%d." % (os.getpid() % 200 + 20)
PORT = 47000 + os.getpid() % 1000


def ip(*args):
    subprocess.run(["ip"] + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


class Network:
    """A bridge in a namespace of its own and one namespace per host, each with one veth."""

    def __init__(self, hosts):
        tag = str(os.getpid())
        self.bridge = "vbr" + tag
        self.hosts = ["vh%d-%s" % (i, tag) for i in range(1, hosts + 1)]
        self.created = []
        ip("netns", "add", self.bridge)
        self.created.append(self.bridge)
        ip("-n", self.bridge, "link", "add", "br0", "type", "bridge")
        ip("-n", self.bridge, "link", "set", "br0", "up")
        for i, host in enumerate(self.hosts, start=1):
            ip("netns", "add", host)
            self.created.append(host)
            inner, outer = "vi%d-%s" % (i, tag), "vo%d-%s" % (i, tag)
            ip("link", "add", inner[:15], "type", "veth", "peer", "name", outer[:15])
            ip("link", "set", inner[:15], "netns", host)
            ip("link", "set", outer[:15], "netns", self.bridge)
            ip("-n", self.bridge, "link", "set", outer[:15], "master", "br0", "up")
            ip("-n", host, "addr", "add", self.address(i) + "/24", "dev", inner[:15])
            ip("-n", host, "link", "set", inner[:15], "up")
            ip("-n", host, "link", "set", "lo", "up")

    @staticmethod
    def address(i):
        return NETWORK + str(i + 1)

    def prefix(self, i):
        return ["ip", "netns", "exec", self.hosts[i - 1]]

    def close(self):
        for name in reversed(self.created):
            subprocess.run(["ip", "netns", "del", name], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def why_not_permitted():
    """None when namespaces can be made here, else the reason."""
    if subprocess.run(["which", "ip"], stdout=subprocess.DEVNULL).returncode != 0:
        return "the ip command (iproute2) is missing"
    probe = "vprobe%d" % os.getpid()
    result = subprocess.run(["ip", "netns", "add", probe], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if result.returncode != 0:
        return "network namespaces are not permitted here: " + result.stderr.decode(errors="replace").strip()
    subprocess.run(["ip", "netns", "del", probe])
    return None


class Broadcast(unittest.TestCase):
    def setUp(self):
        self.network = Network(3)
        self.board = Board()
        self.share = self.board.share
        self.share.write("vurna.ini", b"UDPMESSAGE SEND=BROADCAST PORT=%d\r\n"
                                      b"INTERVAL RELOADALLFILE=600\r\nINTERVAL RELOADLASTCOMMIT=600\r\n" % PORT)
        self.members = [("yamada", "ﾔﾏﾀﾞ", "山田"), ("suzuki", "ｽｽﾞｷ", "鈴木"), ("tanaka", "ﾀﾅｶ", "田中")]
        for base, furigana, name in self.members:
            self.share.add_member(base, furigana, name, "営業", "")
            self.share.write(base + ".off", b"")

    def tearDown(self):
        self.board.close()
        self.network.close()

    def start(self, i):
        base, furigana, name = self.members[i - 1]
        profile = self.board.profile(base, address=self.network.address(i), FileName=self.share.path + "/" + base,
                                     Name=name, Furigana=furigana)
        copy = self.board.start(profile, self.network.prefix(i))
        copy.wait_started()
        return copy

    def test_start_and_stop_are_heard_through_the_broadcast_address(self):
        yamada = self.start(1)
        suzuki = self.start(2)
        suzuki.wait_log("sent started to %s255:%d" % (NETWORK, PORT))
        yamada.wait_log("applied started SUZUKI")
        tanaka = self.start(3)
        for copy in (yamada, suzuki):
            copy.wait_log("applied started TANAKA")

        self.assertEqual(suzuki.stop(), 0)
        for copy in (yamada, tanaka):
            copy.wait_log("applied stopped SUZUKI")
        # Everyone is on one network: no direct datagram besides the broadcast.
        self.assertFalse(any("sent started to " + NETWORK + "2:" in line for line in tanaka.log()))


if __name__ == "__main__":
    vurna_e2e.VURNA3 = os.path.abspath(sys.argv[1])
    reason = why_not_permitted()
    if reason:
        print("SKIPPED: broadcast between network namespaces cannot run here: " + reason)
        sys.exit(SKIPPED)
    result = unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2, exit=False).result
    sys.exit(0 if result.wasSuccessful() else 1)
