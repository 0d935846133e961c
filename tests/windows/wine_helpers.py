"""What the Windows tests share: running the Windows build under Wine in a prefix of the test's
own, Linux paths as Wine's drive Z: names them, and registry settings. Standard library only."""

import os
import shutil
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "tools", "windows", "wine-run.sh")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


class Prefix:
    """A Wine prefix in a temporary folder: one simulated Windows PC with its own registry,
    named objects and processes."""

    def __init__(self, label, root=None):
        """A new folder for `label`, or the prefix "wineprefix" in `root` when given."""
        self.root = root or tempfile.mkdtemp(prefix="vurna-%s-" % label)
        self.path = os.path.join(self.root, "wineprefix")
        self.env = dict(os.environ, VURNA_WINE_PREFIX=self.path, WINEPREFIX=self.path)

    def run(self, *command, check=True, timeout=120, **kwargs):
        return subprocess.run([WINE_RUN] + list(command), env=kwargs.pop("env", self.env), check=check,
                              timeout=timeout, **kwargs)

    def start(self, *command, env=None, **kwargs):
        return subprocess.Popen([WINE_RUN] + list(command), env=env or self.env, stdin=subprocess.DEVNULL, **kwargs)

    def set_settings(self, values):
        """HKCU\\Software\\Quaxosoft\\Vurna replaced by `values`: int as REG_DWORD, str as REG_SZ."""
        lines = ["Windows Registry Editor Version 5.00", "",
                 r"[-HKEY_CURRENT_USER\Software\Quaxosoft\Vurna]", "",
                 r"[HKEY_CURRENT_USER\Software\Quaxosoft\Vurna]"]
        for name, value in values.items():
            if isinstance(value, int):
                lines.append('"%s"=dword:%08x' % (name, value))
            else:
                lines.append('"%s"="%s"' % (name, value.replace("\\", "\\\\").replace('"', '\\"')))
        reg = os.path.join(self.root, "settings.reg")
        with open(reg, "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        self.run("regedit", "/S", windows_path(reg))

    def user_reg(self):
        """The prefix's HKEY_CURRENT_USER as Wine keeps it (written out a moment after a change)."""
        self.run("reg", "query", r"HKCU\Software", check=False, stdout=subprocess.DEVNULL)
        try:
            with open(os.path.join(self.path, "user.reg"), encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def close(self):
        subprocess.run(["/usr/lib/wine/wineserver", "-k"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=self.env, check=False, timeout=30)
        except subprocess.TimeoutExpired:
            pass
        shutil.rmtree(self.root, ignore_errors=True)
