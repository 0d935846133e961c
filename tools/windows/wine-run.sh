#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: its own prefix beside the build, the Qt and
# mingw DLLs on the path, and Wine quiet. Used as the build's cross-compiling emulator, so ctest
# runs the Windows test programs through it.
#   VURNA_WINE_PREFIX   the prefix (default: build-windows/wineprefix beside this tree)
#   VURNA_QT_WINDOWS    Qt for Windows (default: the one build.sh unpacked)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
qt=${VURNA_QT_WINDOWS:-${VURNA_CACHE:-$root/.cache/windows}/qt6-mingw}
export WINEPREFIX=${VURNA_WINE_PREFIX:-$root/build-windows/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64
gcc_dll=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix 2>/dev/null | sort -V | tail -n 1)
export WINEPATH="Z:${qt//\//\\}\\bin;Z:${gcc_dll//\//\\};Z:\\usr\\x86_64-w64-mingw32\\lib"
wine=/usr/lib/wine/wine64

# A new prefix is made once, by whichever command comes first. Without a display Wine's null
# graphics driver stands in, so hidden top-level windows (the wake-up and session-end windows)
# exist there as they do on a desktop.
mkdir -p "$WINEPREFIX"
if [[ ! -f $WINEPREFIX/.vurna-ready ]]; then
    exec 8>"$WINEPREFIX/.vurna-lock"
    flock 8
    if [[ ! -f $WINEPREFIX/.vurna-ready ]]; then
        "$wine" wineboot -i >/dev/null 2>&1 || true
        if [[ -z ${DISPLAY:-} ]]; then
            "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
        fi
        /usr/lib/wine/wineserver -w || true
        touch "$WINEPREFIX/.vurna-ready"
    fi
    flock -u 8
    exec 8>&-
fi
exec "$wine" "$@"
