"""Helpers for end-to-end tests of Vurna3: a temporary shared directory with member files,
and copies of the program, each with its own settings profile, session folder and address.
Standard library only."""

import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time

VURNA3 = None  # set by the test runner from the command line

DEFAULT_TIMEOUT = 20.0


def wait_for(predicate, timeout=DEFAULT_TIMEOUT, interval=0.02, what="condition"):
    """Polls `predicate` until it returns a true value; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


def user_file(furigana, name, group, ip, locate="", date="", time_="", status=0, default_on_exit=0):
    """A user status file: twelve values between double quotes, CP932, CR LF between lines."""
    values = [furigana, name, group, "", locate, date, time_, "", ip, str(status), str(default_on_exit), ""]
    return "\r\n".join('"%s"' % v for v in values).encode("cp932")


class Share:
    """A shared directory in a temporary folder."""

    def __init__(self, root):
        self.path = os.path.join(root, "Share")
        os.makedirs(self.path)

    def write(self, name, data):
        with open(os.path.join(self.path, name), "wb") as f:
            f.write(data)

    def add_member(self, base, *args, **kwargs):
        self.write(base + ".vrn", user_file(*args, **kwargs))

    def snapshot(self):
        """Every file of the share: lower-cased name -> bytes."""
        files = {}
        for name in os.listdir(self.path):
            full = os.path.join(self.path, name)
            if os.path.isfile(full):
                with open(full, "rb") as f:
                    files[name.lower()] = f.read()
        return files

    def read(self, name):
        """A file whatever the letter case of its name on disk; None when missing."""
        return self.snapshot().get(name.lower())

    def has(self, name):
        return name.lower() in self.snapshot()


class Profile:
    """One simulated PC: settings in its own XDG_CONFIG_HOME, its own session folder."""

    def __init__(self, root, label, address):
        self.root = os.path.join(root, label)
        self.config = os.path.join(self.root, "config")
        self.runtime = os.path.join(self.root, "runtime")
        os.makedirs(os.path.join(self.config, "Quaxosoft"))
        os.makedirs(self.runtime, mode=0o700)
        self.address = address

    @property
    def conf_file(self):
        return os.path.join(self.config, "Quaxosoft", "Vurna.conf")

    def write_settings(self, **values):
        lines = ["[General]"] + ["%s=%s" % (k, v) for k, v in values.items()]
        with open(self.conf_file, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    def settings(self):
        result = {}
        if not os.path.exists(self.conf_file):
            return result
        with open(self.conf_file, encoding="utf-8") as f:
            for line in f:
                if "=" in line:
                    key, value = line.rstrip("\n").split("=", 1)
                    result[key] = value
        return result


class Copy:
    """A running Vurna3 whose diagnostics are collected from stderr."""

    def __init__(self, profile, prefix=()):
        """`prefix` runs the program through another command (a network namespace)."""
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "offscreen",
            "QT_LOGGING_RULES": "vurna.*.info=true",
            "XDG_CONFIG_HOME": profile.config,
            "XDG_RUNTIME_DIR": profile.runtime,
            "VURNA_ADDRESS": profile.address,
        })
        self.lines = []
        self._lock = threading.Lock()
        self.process = subprocess.Popen(list(prefix) + [VURNA3], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        for raw in self.process.stderr:
            with self._lock:
                self.lines.append(raw.decode("utf-8", "replace").rstrip("\n"))

    def log(self):
        with self._lock:
            return list(self.lines)

    def has_logged(self, text):
        return any(text in line for line in self.log())

    def wait_log(self, text, timeout=DEFAULT_TIMEOUT):
        try:
            wait_for(lambda: self.has_logged(text), timeout, what=repr(text))
        except AssertionError:
            raise AssertionError("no log line %r; log:\n%s" % (text, "\n".join(self.log())))

    def wait_started(self):
        self.wait_log("start-up finished")

    def signal(self, number):
        self.process.send_signal(number)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        code = self.process.wait(timeout)
        self._reader.join(timeout)
        self.process.stderr.close()
        return code

    def stop(self):
        """Ends the copy the normal way (SIGTERM) and returns its exit code."""
        if self.process.poll() is None:
            self.signal(signal.SIGTERM)
        return self.wait_exit()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self._reader.join(DEFAULT_TIMEOUT)
        if not self.process.stderr.closed:
            self.process.stderr.close()


class Board:
    """The temporary world of one test: a share, profiles, and the copies started on them."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="vurna-e2e-")
        self.share = Share(self.root)
        self.copies = []
        self._next_address = 2

    def profile(self, label, address=None, **settings):
        if address is None:
            address = "127.0.0.%d" % self._next_address
            self._next_address += 1
        profile = Profile(self.root, label, address)
        values = {"ShareDir": self.share.path + "/", "AutoSmall": 1}
        values.update(settings)
        profile.write_settings(**values)
        return profile

    def start(self, profile, prefix=()):
        copy = Copy(profile, prefix)
        self.copies.append(copy)
        return copy

    def close(self):
        for copy in self.copies:
            copy.kill()
        shutil.rmtree(self.root, ignore_errors=True)
