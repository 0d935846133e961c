#!/usr/bin/env python3
"""The Windows installer under Wine, in a fresh prefix of the test's own (VURNA_WINE_PREFIX is left
alone): silent install, the board started from the install folder, install and uninstall refused
while it runs, the start-up shortcut, and the silent uninstall that keeps the member's settings.

usage: python3 tests/windows/test_installer.py DIST_DIR   (exit 0 passed, 1 failed, 77 skipped)"""
import os
import pathlib
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[2]
WINE_RUN = str(ROOT / "tools/windows/wine-run.sh")
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vurnaboard"
SETTINGS_KEY = r"HKCU\Software\Quaxosoft\Vurna"
FOLDERS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
REFUSED = 2  # the installer's exit code for "the board is running"
failures = []


def check(ok, what):
    print(("ok:   " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures.append(what)


class Prefix:
    def __init__(self, top):
        self.dir = top / "prefix"
        no_qt = top / "no-qt"  # Qt reaches the programs from the install folder or not at all
        no_qt.mkdir()
        self.env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        self.env.update(HOME=str(top), XDG_CONFIG_HOME=str(top / "config"), XDG_DATA_HOME=str(top / "data"),
                        XDG_CACHE_HOME=str(top / "cache"), WINEPREFIX=str(self.dir), VURNA_WINE_PREFIX=str(self.dir),
                        VURNA_QT_WINDOWS=str(no_qt), WINEDEBUG="-all",
                        # no menu entries on this machine's own desktop for the shortcuts made
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")

    # Output goes to files, never pipes: Wine's own services started on the way inherit them and
    # would keep a pipe open long after the program ended.
    def run(self, *args, output=subprocess.DEVNULL):
        return subprocess.run([WINE_RUN, *args], env=self.env, stdout=output, stderr=subprocess.DEVNULL,
                              timeout=300).returncode

    def server(self, flag):
        subprocess.run(["/usr/lib/wine/wineserver", flag], env=self.env, timeout=300)

    def reg(self, key):
        """The key's values, or None when it does not exist."""
        with tempfile.TemporaryFile() as output:
            if self.run("reg", "query", key, output=output) != 0:
                return None
            output.seek(0)
            lines = output.read().decode("utf-8", "replace").splitlines()
        values = (re.match(r"^\s{4}(.*?)\s{4}REG_\w+(?:\s{4}(.*))?$", line) for line in lines)
        return {m[1]: m[2] or "" for m in values if m}

    def host(self, windows_path):
        """The file behind a C:\\ path; components match without regard to case, as Windows does."""
        path = self.dir / "drive_c"
        for part in windows_path.split("\\")[1:]:
            found = [p for p in path.iterdir() if p.name.lower() == part.lower()] if path.is_dir() else []
            path = found[0] if found else path / part
        return path


def read_link(path):
    """Target and working folder of a .lnk file (MS-SHLLINK: header, ID list, link info, strings)."""
    data = path.read_bytes()
    flags = struct.unpack_from("<I", data, 20)[0]
    pos, target, strings = 76, "", {}
    if flags & 0x1:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if flags & 0x2:  # the local base path, in the ANSI code page: the test's paths are ASCII
        size, base = struct.unpack_from("<I12xI", data, pos)
        target = data[pos + base:].split(b"\0")[0].decode("ascii", "replace")
        pos += size
    for bit in (0x4, 0x8, 0x10, 0x20, 0x40):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            # Wine counts the terminating zero too
            strings[bit] = data[pos + 2:pos + 2 + 2 * count].decode("utf-16-le").rstrip("\0")
            pos += 2 + 2 * count
    return target, strings.get(0x10, "")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for tool in ("/usr/lib/wine/wine64", "/usr/lib/wine/wineserver", shutil.which("makensis")):
        if not tool or not os.access(tool, os.X_OK):
            print(f"SKIP: {tool or 'makensis'} is missing (bash tools/setup.sh --windows)")
            sys.exit(77)
    dist = pathlib.Path(sys.argv[1]).resolve()
    setups = sorted(dist.glob("Vurnaboard-*-setup.exe"), key=lambda p: p.stat().st_mtime)
    if not setups:
        sys.exit(f"FAIL: no Vurnaboard-*-setup.exe in {dist} (tools/windows/package.sh)")
    setup = str(setups[-1])
    version = setups[-1].name[len("Vurnaboard-"):-len("-setup.exe")]
    with zipfile.ZipFile(dist / f"Vurnaboard-{version}.zip") as z:
        shipped = {n.split("/", 1)[1] for n in z.namelist() if not n.endswith("/")}

    with tempfile.TemporaryDirectory(prefix="vurna-installer-") as top:
        wine = Prefix(pathlib.Path(top))
        try:
            run_checks(wine, setup, version, shipped)
        finally:
            wine.server("-k")
    print(f"{len(failures)} check(s) failed" if failures else "all checks passed")
    return 1 if failures else 0


def run_checks(wine, setup, version, shipped):
    wine.run("wineboot", "-i")
    # Value names compare without regard to case; Wine spells the board's "Startup" "StartUp".
    folders = {name.lower(): value for name, value in wine.reg(FOLDERS_KEY).items()}
    install = folders["local appdata"] + r"\Programs\Vurnaboard"
    menu_link = wine.host(folders["programs"] + r"\Vurnaboard.lnk")
    startup_link = wine.host(folders["startup"] + r"\Vurnaboard.lnk")
    program = install + r"\Vurna3.exe"
    folder = wine.host(install)

    check(wine.run(setup, "/S") == 0, f"silent install of {pathlib.Path(setup).name}")
    files = {str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file()}
    check(files == shipped | {"uninstall.exe"}, f"{install} holds the zip's {len(shipped)} files and uninstall.exe")
    check(menu_link.is_file() and read_link(menu_link)[0].lower() == program.lower(), "Start-menu entry Vurnaboard")
    check(not startup_link.exists(), "no start-up shortcut unless asked for")
    key = wine.reg(UNINSTALL_KEY) or {}
    expected = {"DisplayName": "Vurnaboard", "DisplayVersion": version, "Publisher": "Quaxosoft",
                "UninstallString": f'"{install}\\uninstall.exe"', "InstallLocation": install,
                "DisplayIcon": program + ",0", "NoModify": "0x1", "NoRepair": "0x1"}
    wrong = {name: key.get(name) for name, value in expected.items() if key.get(name) != value}
    check(not wrong, f"uninstall key: {', '.join(expected)}" + (f"; wrong: {wrong}" if wrong else ""))

    board = subprocess.Popen([WINE_RUN, program, "-platform", "offscreen"], env=wine.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(120):
        if wine.reg(SETTINGS_KEY) is not None or board.poll() is not None:
            break
        time.sleep(0.5)
    check(board.poll() is None and wine.reg(SETTINGS_KEY) is not None,
          "the installed Vurna3.exe runs and makes its settings key")

    def snapshot():  # a rewritten file gets a new change time even when NSIS restores its modification time
        return {p: (p.stat().st_ino, p.stat().st_ctime_ns) for p in folder.rglob("*")}
    before = snapshot()
    check(wine.run(setup, "/S", "/STARTUP=1", r"/D=C:\Refused") == REFUSED, "install refused while the board runs")
    check(not wine.host(r"C:\Refused").exists() and not startup_link.exists() and snapshot() == before,
          "the refused install wrote nothing")
    uninstaller = install + r"\uninstall.exe"
    # In place (_?=): otherwise it hands over to a copy of itself and returns before that decides.
    check(wine.run(uninstaller, "/S", "_?=" + install) == REFUSED, "uninstall refused while the board runs")
    check(snapshot() == before and menu_link.exists() and wine.reg(UNINSTALL_KEY) is not None,
          "the refused uninstall removed nothing")
    wine.server("-k")  # the board ends as if it crashed; the mutex goes with it
    board.wait(timeout=60)

    check(wine.run(setup, "/S", "/STARTUP=1") == 0, "silent install again with /STARTUP=1")
    target, working = read_link(startup_link) if startup_link.is_file() else ("", "")
    check(target.lower() == program.lower() and working.lower() == install.lower(),
          f"start-up shortcut {folders['startup']}\\Vurnaboard.lnk -> {target} in {working}")

    check(wine.run("reg", "add", SETTINGS_KEY, "/v", "ShareDir", "/d", r"C:\share", "/f") == 0, "a setting written")
    check(wine.run(uninstaller, "/S") == 0, "silent uninstall")
    wine.server("-w")  # the uninstaller hands over to a copy of itself: wait for that
    check(not folder.exists(), f"{install} removed")
    check(not menu_link.exists() and not startup_link.exists(), "both shortcuts removed")
    check(wine.reg(UNINSTALL_KEY) is None, "uninstall key removed")
    check((wine.reg(SETTINGS_KEY) or {}).get("ShareDir") == r"C:\share", f"{SETTINGS_KEY} kept")


if __name__ == "__main__":
    sys.exit(main())
