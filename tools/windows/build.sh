#!/usr/bin/env bash
# The Windows program from this Linux machine: installs what is missing, gets Qt for Windows,
# cross-builds Vurna3.exe and Vurnup.exe with mingw-w64, runs the Windows tests under Wine, and
# writes dist/Vurnaboard-<version>-setup.exe and a zip of the same files.
#   VURNA_QT_MINGW   Qt for Windows: a folder, or the .tar.xz that tools/windows/build-qt.sh
#                    makes (default: ../shared/windows/qt6.4.2-mingw-w64.tar.xz when present,
#                    otherwise built from Debian's source into the cache, about an hour)
#   VURNA_CACHE      where Qt for Windows is kept (default: .cache/windows in this tree)
#   VURNA_WINDOWS_TESTS=0   build and package only
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
cache=${VURNA_CACHE:-$root/.cache/windows}
build=build-windows
jobs=$(nproc)

bash tools/setup.sh
bash tools/setup.sh --windows

qt=$(bash tools/windows/get-qt.sh "$cache")
echo "Qt for Windows: $qt"

"$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVURNA_BENCH=OFF \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/windows/wine-run.sh" >/dev/null
cmake --build "$build" -j "$jobs"

export VURNA_QT_WINDOWS=$qt
export VURNA_WINE_PREFIX=$root/$build/wineprefix
bash tools/windows/package.sh "$build" "$qt" dist

if [[ ${VURNA_WINDOWS_TESTS:-1} != 0 ]]; then
    # As on Linux: only loopback, where a network namespace can be made.
    isolated=()
    if unshare --net sh -c 'ip link set lo up' 2>/dev/null; then
        isolated=(unshare --net sh -c 'ip link set lo up && exec "$@"' isolated)
    fi
    # The prefix is made once, before the test programs start side by side in it.
    tools/windows/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
    ${isolated[@]+"${isolated[@]}"} ctest --test-dir "$build" --output-on-failure -j "$jobs"
    # The mixed office needs the Linux program and its end-to-end test beside the Windows one.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j "$jobs" --target Vurna3 vurna_e2e_notice
    ls -l dist
    ${isolated[@]+"${isolated[@]}"} python3 tests/windows/run_windows_e2e.py "$root" "$build" dist build
else
    ls -l dist
fi
