"""The Windows build's end-to-end checks, run from Linux after the Wine unit tests: the installer,
a Linux and a Windows copy on one board, and self-update. Each prints what it checked; the run
fails when one fails.

Usage: run_windows_e2e.py SOURCE_DIR WINDOWS_BUILD_DIR DIST_DIR [LINUX_BUILD_DIR]"""

import os
import subprocess
import sys
import tempfile
import time

from wine_helpers import Prefix


def virtual_display():
    """An Xvfb of its own: the program restarted by the updater runs with Wine's own windows."""
    for number in range(90, 120):
        if os.path.exists("/tmp/.X11-unix/X%d" % number) or os.path.exists("/tmp/.X%d-lock" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % number):
                return server, ":%d" % number
            time.sleep(0.05)
        server.kill()
    raise RuntimeError("no virtual display could be started")


def main():
    source, build, dist = (os.path.abspath(a) for a in sys.argv[1:4])
    linux_build = os.path.abspath(sys.argv[4]) if len(sys.argv) > 4 else os.path.join(source, "build")
    here = os.path.dirname(os.path.abspath(__file__))
    stage = os.path.join(build, "stage", "Vurnaboard")
    wine_run = os.path.join(source, "tools", "windows", "wine-run.sh")
    results = {}

    results["installer"] = subprocess.call([sys.executable, os.path.join(here, "test_installer.py"), dist])

    prefix = Prefix("mixed")
    try:
        env = dict(prefix.env, QT_QPA_PLATFORM="offscreen", VURNA_WINE_RUN=wine_run,
                   VURNA_WINDOWS_VURNA3=os.path.join(stage, "Vurna3.exe"))
        results["mixed office"] = subprocess.call(
            [os.path.join(linux_build, "tests", "e2e", "vurna_e2e_notice"), "--gtest_filter=MixedOffice.*"], env=env)
    finally:
        prefix.close()

    server, display = virtual_display()
    try:
        env = dict(os.environ, DISPLAY=display)
        results["self-update"] = subprocess.call(
            [sys.executable, os.path.join(here, "test_windows_update.py"), stage], env=env)
    finally:
        server.kill()

    for name, code in results.items():
        print("%-12s %s" % (name, {0: "passed", 77: "skipped"}.get(code, "FAILED (%d)" % code)))
    failed = sum(1 for code in results.values() if code not in (0, 77))
    passed = sum(1 for code in results.values() if code == 0)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
