#!/usr/bin/env bash
# Renders the board window on the demo board to PNGs in ./screenshots/ for review, on a virtual
# display (Xvfb) with trayer as the tray host:
#   desktop.png          the whole screen: the window and its tray icon
#   board-large.png      the board with the large name font
#   board-selection.png  two members selected (a click, then a Ctrl+click)
#   board-highlight.png  the さ row highlighted (the others greyed)
#   memo-page.png        the own memo board after the unread memos were taken in
#   board-small.png      the board with the small name font
#   grid-popup.png       the grid's popup menu over a selection (whole screen)
#   tray-menu.png        the tray menu with 会議 （１時間ほど） chosen (whole screen)
#   board-absent.png     the board after that preset: the own entry away
#   tray-absent.png      the tray area while the absence reminder blinks
#   detail-info.png      the detail window opened by a double click on a member
#   detail-absence.png   its absence panel
#   detail-calendar.png  the return-date calendar popped up over it
#   info-*.png           every panel of the detail window as the window tests draw it: one and
#                        three members, the history list, the calendar with a holiday under
#                        the mouse (offscreen, no display needed)
#   filter-*.png         the group and status filter lists dropped down
#   custom-group.png     the custom group editor; default-value.png the default values dialog;
#                        setting.png the preferences; version.png バージョン情報; help-board.png and
#                        help-absence.png the help window at two topics
# Build first (./run.sh or ./test.sh); VURNA_BUILD_DIR names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${VURNA_BUILD_DIR:-build}
out=$root/screenshots

for program in "$build/Vurna3" "$build/demo/make_demo_board"; do
    if [[ ! -x $program ]]; then
        echo "$program is missing; build first (./run.sh)." >&2
        exit 1
    fi
done

board=$(mktemp -d)
source tools/xsession.sh
vurna=
cleanup() {
    [[ -n $vurna ]] && xsession_end "$vurna"
    xsession_stop
    rm -rf "$board"
}
trap cleanup EXIT

"$build/demo/make_demo_board" "$board" >/dev/null
mkdir -m 700 "$board/runtime"
export XDG_CONFIG_HOME=$board/config
export XDG_RUNTIME_DIR=$board/runtime
profile=$board/config/Quaxosoft/Vurna.conf
mkdir -p "$out"

xsession_start 800x600x24

window=
start_board() {
    "$root/$build/Vurna3" &
    vurna=$!
    if ! window=$(xsession_wait_window Vurnaboard); then
        echo "The board window did not appear." >&2
        exit 1
    fi
    sleep 2
}

stop_board() {
    xsession_end "$vurna"
    vurna=
}

shot() {
    sleep 0.7
    import -window "$window" "$out/$1"
    echo "$out/$1"
}

# Positions inside the window (pixels from its top left corner) of what the script clicks.
cell() { # column (0 left, 1 right), row
    echo $((130 + 280 * $1)) $((95 + 40 * $2))
}
highlight_sa=(153 399) # the さ button of the highlight row
memo_tab=(167 38)      # the 伝言板 tab
board_tab=(60 38)      # the 行き先掲示板 tab

click() { # x y [modifier]
    if [[ -n ${3:-} ]]; then
        xdotool mousemove --window "$window" "$1" "$2" keydown "$3" click 1 keyup "$3"
    else
        xdotool mousemove --window "$window" "$1" "$2" click 1
    fi
}

start_board
import -window root "$out/desktop.png"
echo "$out/desktop.png"
shot board-large.png

# shellcheck disable=SC2046
click $(cell 0 1)
# shellcheck disable=SC2046
click $(cell 1 5) ctrl
shot board-selection.png

# The popup opens at the cursor; it is a window of its own, so the screen is taken.
# shellcheck disable=SC2046
xdotool mousemove --window "$window" $(cell 0 1) click 3
sleep 0.7
import -window root "$out/grid-popup.png"
echo "$out/grid-popup.png"
xdotool key Escape

click "${highlight_sa[@]}"
shot board-highlight.png

click "${memo_tab[@]}"
shot memo-page.png

# The detail window: a double click on the first member. It is a window of its own.
click "${board_tab[@]}"
# shellcheck disable=SC2046
xdotool mousemove --window "$window" $(cell 0 0) click --repeat 2 --delay 80 1
if detail=$(xsession_wait_window "を選択しています"); then
    sleep 0.7
    import -window "$detail" "$out/detail-info.png"
    echo "$out/detail-info.png"
    xdotool mousemove --window "$detail" 240 18 click 1 # 不在設定
    sleep 0.7
    import -window "$detail" "$out/detail-absence.png"
    echo "$out/detail-absence.png"
    xdotool mousemove --window "$detail" 160 163 click 1 # the return date
    sleep 0.7
    import -window "$detail" "$out/detail-calendar.png"
    echo "$out/detail-calendar.png"
    # 戻る closes it without a change (Esc on this panel would clear the member's absence).
    xdotool mousemove --window "$detail" 30 395 click 1 mousemove --window "$detail" 594 395 click 1
    sleep 0.5
else
    echo "The detail window did not appear." >&2
fi

# The tray icon sits at the right end of trayer's bar along the bottom of the screen. Its menu
# opens without a current item: the fourth step down is 会議 （１時間ほど）.
xdotool mousemove 784 584 click 3
sleep 0.7
xdotool key Down Down Down Down
sleep 0.5
import -window root "$out/tray-menu.png"
echo "$out/tray-menu.png"
xdotool key Return
click "${board_tab[@]}"
shot board-absent.png
sleep 0.3
import -window root -crop 160x40+640+560 "$out/tray-absent.png"
echo "$out/tray-absent.png"
stop_board

# The small font is a setting of the profile, read when the window is made.
if grep -q '^SmallFont=' "$profile"; then
    sed -i 's/^SmallFont=.*/SmallFont=1/' "$profile"
else
    sed -i 's/^\[General\]$/[General]\nSmallFont=1/' "$profile"
fi
start_board
shot board-small.png
stop_board

# The detail window's panels, the filter lists and the settings dialogs as their tests draw them.
if [[ -x $build/tests/vurna_app_tests && -x $build/tests/vurna_forms_tests ]]; then
    QT_QPA_PLATFORM=offscreen VURNA_SCREENSHOT_DIR=$out "$build/tests/vurna_app_tests" \
        --gtest_filter='InfoForm.PanelsAsDrawn:Filters.TheListDropsDown*:Filters.TheVersionWindow*:Help.PagesRender*' >/dev/null
    QT_QPA_PLATFORM=offscreen VURNA_SCREENSHOT_DIR=$out "$build/tests/vurna_forms_tests" \
        --gtest_filter='CustomGroup*:DefaultValue*:SettingDialog.Screenshot' >/dev/null
    ls "$out"/info-*.png "$out"/filter-*.png "$out"/custom-group.png "$out"/default-value.png "$out"/setting.png "$out"/version.png "$out"/help-*.png
fi
