#!/usr/bin/env python3
"""Runs a command against a real SMB share: a private Samba server and an smbnetfs (FUSE) mount.

usage: smb_share.py [--export NAME] -- COMMAND [ARG...]

The command runs with NAME (default VURNA_SMB_SHARE) set to the share as a local folder
(MOUNT/127.0.0.1/board) and its exit code becomes this script's. Where the server or the mount
cannot be had (not root, no smbd, no smbnetfs, no /dev/fuse, no network namespace, the mount never
appears) it prints one line and exits 77, which ctest reports as skipped.

How it is put together:
- A network namespace of its own (`unshare --net`, only loopback up) holds smbd and smbnetfs.
  libsmbclient, which smbnetfs uses, only connects to ports 445 and 139; inside the namespace
  those ports are ours whatever else runs on the machine, and nothing the server offers can be
  reached from outside it. A `sleep` keeps the namespace alive; smbd and smbnetfs enter it with
  `nsenter --net`. Only the network is unshared: the FUSE mount made inside is in the mount
  namespace of the test and visible to it. This works the same inside test.sh's own
  `unshare --net` (a namespace within a namespace) and outside it.
- smbd runs in the foreground with a configuration of its own: every directory it keeps state
  in lies in the temporary folder, no printers, bound to lo alone. One share [board], read and
  write; the client comes as guest, mapped to the user running the test (root), so files in the
  share belong to the same user as everything else the test makes.
- smbnetfs reads its configuration from HOME/.smb (its own HOME in the temporary folder): guest
  credentials, no network browsing (no nmbd here). The share appears as MOUNT/127.0.0.1/board.
- Teardown on every way out (exit, exception, SIGTERM, SIGINT): unmount, stop smbnetfs and smbd,
  end whatever else still runs in the namespace (samba-dcerpcd, which smbd starts on demand),
  then the holder, and remove the temporary folder; when the command failed the folder is kept
  (the share's files in export/, the server's logs beside) and its path printed. The children
  also get SIGTERM through PR_SET_PDEATHSIG should this script be killed outright, and the mount
  uses auto_unmount.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
HOST = "127.0.0.1"
SHARE = "board"
MOUNT_WAIT_S = 15

SMB_CONF = """[global]
    server role = standalone server
    workgroup = VURNA
    netbios name = VURNATEST
    disable netbios = yes
    smb ports = 445
    interfaces = lo
    bind interfaces only = yes
    private dir = {root}/private
    lock directory = {root}/lock
    state directory = {root}/state
    cache directory = {root}/cache
    pid directory = {root}/pid
    ncalrpc dir = {root}/ncalrpc
    passdb backend = tdbsam:{root}/private/passdb.tdb
    log level = 1
    load printers = no
    printing = bsd
    printcap name = /dev/null
    disable spoolss = yes
    map to guest = Bad User
    guest account = {user}
    server min protocol = SMB2_10

[{share}]
    path = {root}/export
    read only = no
    guest ok = yes
    guest only = yes
    force user = {user}
    create mask = 0644
    directory mask = 0755
"""

# libsmbclient's own configuration, read by smbnetfs from HOME/.smb/smb.conf.
CLIENT_CONF = """[global]
    workgroup = VURNA
    client min protocol = SMB2_10
"""

SMBNETFS_CONF = """auth "guest" ""
smb_query_browsers "false"
"""


def skip(reason):
    print("smb_share: skipped: " + reason, flush=True)
    sys.exit(SKIP)


def parent_death_signal():
    # Runs in the child before exec: SIGTERM once this script is gone, however it ended.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


def become_subreaper():
    # Daemons that smbd or smbnetfs leave behind come back to this script when their parent ends,
    # so that it can reap them instead of leaving zombies to an init that may not.
    ctypes.CDLL(None, use_errno=True).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER


def reap_orphans():
    while True:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            return


def tool(name):
    return shutil.which(name) or shutil.which(name, path="/usr/sbin:/sbin:/usr/bin:/bin")


class SmbShare:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="vurna-smb-")
        self.mount = os.path.join(self.root, "mnt")
        self.holder = None
        self.smbd = None
        self.smbnetfs = None
        self.logs = []

    @property
    def share_path(self):
        return os.path.join(self.mount, HOST, SHARE)

    def _start(self, args, log_name, env=None):
        log = open(os.path.join(self.root, log_name), "wb")
        self.logs.append(log)
        # A session of its own: smbd, told not to make a process group, signals the group it is in
        # when it ends, and that must not be the test's.
        return subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT, env=env,
                                preexec_fn=parent_death_signal, start_new_session=True)

    def start(self):
        for name in ("private", "lock", "state", "cache", "pid", "ncalrpc", "export", "mnt", "home/.smb"):
            os.makedirs(os.path.join(self.root, name), exist_ok=True)
        os.chmod(os.path.join(self.root, "private"), 0o700)
        user = subprocess.run(["id", "-un"], capture_output=True, text=True).stdout.strip() or "root"
        conf = os.path.join(self.root, "smb.conf")
        with open(conf, "w") as out:
            out.write(SMB_CONF.format(root=self.root, user=user, share=SHARE))
        home = os.path.join(self.root, "home")
        with open(os.path.join(home, ".smb", "smb.conf"), "w") as out:
            out.write(CLIENT_CONF)
        smbnetfs_conf = os.path.join(home, ".smb", "smbnetfs.conf")
        # smbnetfs ignores credentials in a file that others may read.
        with open(os.open(smbnetfs_conf, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600), "w") as out:
            out.write(SMBNETFS_CONF)

        self.holder = subprocess.Popen(
            [tool("unshare"), "--net", "sh", "-c", "ip link set lo up && echo up && exec sleep 2147483647"],
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            preexec_fn=parent_death_signal)
        if self.holder.stdout.readline().strip() != b"up":
            skip("a network namespace cannot be made here (unshare --net)")
        enter = [tool("nsenter"), "--target", str(self.holder.pid), "--net"]

        self.smbd = self._start(enter + [tool("smbd"), "-F", "--no-process-group", "-s", conf, "--debug-stdout"],
                                "smbd.log")
        # smbnetfs is only started once smbd listens: a first connection refused makes it wait
        # seconds before it tries again.
        deadline = time.monotonic() + MOUNT_WAIT_S
        while not self._smbd_listens() and time.monotonic() < deadline and self.smbd.poll() is None:
            time.sleep(0.05)
        env = dict(os.environ, HOME=home)
        self.smbnetfs = self._start(
            enter + [tool("smbnetfs"), self.mount, "-f", "-o",
                     "config=%s,auto_unmount,log_file=%s" % (smbnetfs_conf, os.path.join(self.root, "smbnetfs.log"))],
            "smbnetfs.out", env)

        # smbnetfs answers as soon as it is mounted; the share behind it only once smbd listens.
        probe = os.path.join(self.share_path, ".vurna-smb-probe")
        deadline = time.monotonic() + MOUNT_WAIT_S
        while time.monotonic() < deadline:
            if self.smbd.poll() is not None or self.smbnetfs.poll() is not None:
                break
            try:
                with open(probe, "wb") as out:
                    out.write(b"x")
                os.remove(probe)
                return
            except OSError:
                time.sleep(0.2)
        what = "smbd ended" if self.smbd.poll() is not None else \
            "smbnetfs ended" if self.smbnetfs.poll() is not None else \
            "the share did not appear within %d s" % MOUNT_WAIT_S
        self.tell_logs()
        skip("%s (%s)" % (what, self.share_path))

    def _smbd_listens(self):
        # The namespace's own socket table, seen through the process that holds it.
        for table in ("tcp", "tcp6"):
            try:
                with open("/proc/%d/net/%s" % (self.holder.pid, table)) as sockets:
                    for line in sockets.readlines()[1:]:
                        fields = line.split()
                        if fields[1].endswith(":01BD") and fields[3] == "0A":  # port 445, LISTEN
                            return True
            except OSError:
                pass
        return False

    def tell_logs(self):
        for name in ("smbd.log", "smbnetfs.out"):
            path = os.path.join(self.root, name)
            if os.path.exists(path):
                with open(path, "rb") as log:
                    text = log.read()[-2000:].decode("utf-8", "replace")
                if text.strip():
                    print("--- %s (end)\n%s" % (name, text), flush=True)

    @staticmethod
    def _stop(process):
        if process is None or process.poll() is not None:
            return
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(5)

    def _end_namespace(self):
        # smbd starts samba-dcerpcd on demand (for the share list smbnetfs asks for), and it leaves
        # as a daemon of its own: every process still in our namespace is ours to end.
        if self.holder is None or self.holder.poll() is not None:
            return
        try:
            ours = os.readlink("/proc/%d/ns/net" % self.holder.pid)
        except OSError:
            return

        def members():
            found = []
            for entry in os.listdir("/proc"):
                if entry.isdigit() and int(entry) != self.holder.pid:
                    try:
                        if os.readlink("/proc/%s/ns/net" % entry) == ours:
                            found.append(int(entry))
                    except OSError:
                        pass
            return found

        for sig, wait_s in ((signal.SIGTERM, 5), (signal.SIGKILL, 2)):
            for pid in members():
                try:
                    os.kill(pid, sig)
                except OSError:
                    pass
            deadline = time.monotonic() + wait_s
            while members() and time.monotonic() < deadline:
                time.sleep(0.1)
        self._stop(self.holder)

    def close(self, keep=False):
        if os.path.ismount(self.mount):
            fusermount = tool("fusermount") or tool("fusermount3")
            for args in (["-u"], ["-u", "-z"]):
                if subprocess.run([fusermount] + args + [self.mount], stderr=subprocess.DEVNULL).returncode == 0:
                    break
                time.sleep(0.5)
        for process in (self.smbnetfs, self.smbd):
            self._stop(process)
        self._end_namespace()
        for log in self.logs:
            log.close()
        # Never remove through a mount that is still there: that would empty the export too, and
        # a folder that cannot be removed is better kept for a look.
        if os.path.ismount(self.mount):
            print("smb_share: %s is still mounted; left in place" % self.mount, flush=True)
        elif keep:
            print("smb_share: kept for a look: %s (the share's files in export/, logs beside)" % self.root,
                  flush=True)
        else:
            shutil.rmtree(self.root, ignore_errors=True)


def main(argv):
    export = "VURNA_SMB_SHARE"
    if len(argv) >= 2 and argv[0] == "--export":
        export, argv = argv[1], argv[2:]
    if argv[:1] == ["--"]:
        argv = argv[1:]
    if not argv:
        print(__doc__)
        return 2
    if os.geteuid() != 0:
        skip("smbd, the network namespace and the FUSE mount need root")
    for name in ("smbd", "smbnetfs", "unshare", "nsenter", "ip"):
        if not tool(name):
            skip("%s is not installed (tools/setup.sh installs it)" % name)
    if not (tool("fusermount") or tool("fusermount3")):
        skip("fusermount is not installed")
    if not os.path.exists("/dev/fuse"):
        skip("/dev/fuse does not exist")

    become_subreaper()
    share = SmbShare()

    def stop(signum, frame):
        raise SystemExit(128 + signum)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    child = None
    code = SKIP
    try:
        share.start()
        print("smb_share: %s=%s" % (export, share.share_path), flush=True)
        started = time.monotonic()
        child = subprocess.Popen(argv, env=dict(os.environ, **{export: share.share_path}),
                                 preexec_fn=parent_death_signal)
        code = child.wait()
        print("smb_share: %s ended with %d after %.1f s" % (os.path.basename(argv[0]), code,
                                                             time.monotonic() - started), flush=True)
        if code != 0:
            share.tell_logs()
        return code
    finally:
        if child is not None and child.poll() is None:
            child.terminate()
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
        share.close(keep=code not in (0, SKIP))
        reap_orphans()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
