#!/usr/bin/env bash
# Builds the board program and opens it on a fresh demo board in ./demo-board, as the demo
# member 山田 太郎. The program reads its settings from ./demo-board/config, so the user's own
# settings stay untouched. Without a display it runs on a virtual one, saves a screenshot to
# ./screenshots/demo-board.png and quits.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
build=${VURNA_BUILD_DIR:-build}

bash tools/setup.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target make_demo_board
if [[ ! -f app/main.cpp ]]; then
    echo "The board program Vurna3 is not in this tree yet; nothing to open." >&2
    exit 1
fi
cmake --build "$build" -j "$(nproc)" --target Vurna3

board=$root/demo-board
rm -rf "$board"
"$build/demo/make_demo_board" "$board" >/dev/null
mkdir -m 700 "$board/runtime"

export XDG_CONFIG_HOME=$board/config
export XDG_RUNTIME_DIR=$board/runtime

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    exec "$build/Vurna3"
fi

# No display: a virtual one with a tray host, one screenshot, then a clean exit.
source tools/xsession.sh
trap xsession_stop EXIT
xsession_start 800x600x24
"$build/Vurna3" &
vurna=$!
if ! xsession_wait_window Vurnaboard >/dev/null; then
    echo "The board window did not appear." >&2
    xsession_end "$vurna"
    exit 1
fi
sleep 2 # let the first paint and the tray icon settle
mkdir -p screenshots
import -window root screenshots/demo-board.png
xsession_end "$vurna"
if [[ -e $board/share/YAMADA.off ]]; then
    echo "Vurna3 ended and marked 山田 stopped."
fi
echo "$root/screenshots/demo-board.png"
