# shellcheck shell=bash
# Helpers for running Vurna3 on a virtual X display; sourced by run.sh and tools/screenshots.sh.
# Every process started here is remembered by its id and ended by xsession_stop.

xsession_pids=()

# Starts Xvfb on a free display (exported as DISPLAY) with trayer as the tray host.
xsession_start() {
    local size=${1:-800x600x24}
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 9 -screen 0 "$size" -wr -nolisten tcp 9>"$fdfile" >/dev/null 2>&1 &
    xsession_pids+=($!)
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s $fdfile ]] && break
        sleep 0.1
    done
    if [[ ! -s $fdfile ]]; then
        echo "Xvfb did not start" >&2
        rm -f "$fdfile"
        return 1
    fi
    DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
    export DISPLAY
    rm -f "$fdfile"
    unset WAYLAND_DISPLAY
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --transparent false --tint 0x404040 >/dev/null 2>&1 &
    xsession_pids+=($!)
}

# Waits (up to 30 s) for a visible window whose name contains `name`; prints its id.
xsession_wait_window() {
    local name=$1 id i
    for ((i = 0; i < 150; i++)); do
        id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1 || true)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Ends one process by its id: SIGTERM, then up to 10 s for it to finish.
xsession_end() {
    local pid=$1 i
    kill -TERM "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 50; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "process $pid did not end on SIGTERM; killing it" >&2
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

xsession_stop() {
    local i
    for ((i = ${#xsession_pids[@]} - 1; i >= 0; i--)); do
        xsession_end "${xsession_pids[i]}"
    done
    xsession_pids=()
}
