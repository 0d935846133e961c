#!/usr/bin/env bash
# Renders the Windows build's windows under Wine on a virtual display (Xvfb with trayer) to PNGs in
# ./screenshots/windows/, on the demo board:
#   desktop.png      the whole screen: the board window and its tray icon
#   board.png        the board window
#   detail.png       the detail window opened by a double click on a member
#   preferences.png  the preferences (設定 > 環境設定, Ctrl+S)
# Build first: tools/windows/build.sh (the staged program) and ./run.sh or ./test.sh (the demo
# board generator). VURNA_WINDOWS_BUILD_DIR and VURNA_BUILD_DIR name other build folders.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
stage=$root/${VURNA_WINDOWS_BUILD_DIR:-build-windows}/stage/Vurnaboard
demo=$root/${VURNA_BUILD_DIR:-build}/demo/make_demo_board
out=$root/screenshots/windows
for file in "$stage/Vurna3.exe" "$demo"; do
    if [[ ! -e $file ]]; then
        echo "$file is missing; build first (tools/windows/build.sh, ./run.sh)." >&2
        exit 1
    fi
done

board=$(mktemp -d)
export VURNA_WINE_PREFIX=$board/wineprefix WINEPREFIX=$board/wineprefix
source tools/xsession.sh
cleanup() {
    tools/windows/wine-run.sh taskkill /IM Vurna3.exe >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    xsession_stop
    rm -rf "$board"
}
trap cleanup EXIT

# The display first: a Wine prefix made without one is given the null graphics driver.
xsession_start 800x600x24
"$demo" "$board" >/dev/null
# The demo profile as the registry key the Windows program reads, the share on Wine's drive Z:.
BOARD=$board python3 - "$board/config/Quaxosoft/Vurna.conf" <<'PY'
import os, sys
sys.path.insert(0, "tests/windows")
from wine_helpers import Prefix, windows_path
texts = {"FileName", "Furigana", "Group", "InnerLine", "Name", "ShareDir", "SortPrefix", "WarningCall"}
values = {}
for line in open(sys.argv[1], encoding="utf-8"):
    if "=" not in line:
        continue
    key, value = line.rstrip("\n").split("=", 1)
    if key in ("ShareDir", "FileName"):
        value = windows_path(value) + ("\\" if value.endswith("/") else "")
    values[key] = value if key in texts else int(value)
Prefix("screenshots", root=os.environ["BOARD"]).set_settings(values)
PY
mkdir -p "$out"

# Wine maps its windows in a way xdotool's visibility test does not see: windows are found by
# title (the hidden helper windows have titles of their own).
wine_window() {
    local id i
    for ((i = 0; i < 150; i++)); do
        for id in $(xdotool search --name . 2>/dev/null); do
            if [[ $(xdotool getwindowname "$id" 2>/dev/null) == *"$1"* ]]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.2
    done
    return 1
}

VURNA_DIAGNOSTICS=vurna.board.info=true tools/windows/wine-run.sh "$stage/Vurna3.exe" >"$board/vurna.log" 2>&1 &
if ! window=$(wine_window "使用者："); then
    echo "The board window did not appear:" >&2
    cat "$board/vurna.log" >&2
    exit 1
fi
sleep 3
import -window root "$out/desktop.png"
import -window "$window" "$out/board.png"

# The detail window: a double click on the first member.
xdotool mousemove --window "$window" 130 95 click --repeat 2 --delay 80 1
if detail=$(wine_window "を選択しています"); then
    sleep 1
    import -window "$detail" "$out/detail.png"
    xdotool key --window "$detail" Escape
    sleep 0.5
else
    echo "The detail window did not appear." >&2
fi

xdotool windowfocus "$window" 2>/dev/null || true
xdotool key --window "$window" ctrl+s
if preferences=$(wine_window "環境設定"); then
    sleep 1
    import -window "$preferences" "$out/preferences.png"
    xdotool key --window "$preferences" Escape
else
    echo "The preferences did not appear." >&2
fi
ls "$out"/*.png
