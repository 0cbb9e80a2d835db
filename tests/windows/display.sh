# A virtual X display with a window manager for the Windows window tests
# (after wine_env.sh)
# (without one, Wine swallows the first click on a window and every window
# process takes seconds to end). Sourced; display_start sets DISPLAY and
# stops both servers when the script exits.
# shellcheck shell=bash

display_start() {
    local number first=$((90 + RANDOM % 100))
    # A number not used just before: Wine's processes of an earlier test may
    # still hold on to their display.
    for number in $(seq "$first" $((first + 60))); do
        [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
        Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        display_xvfb=$!
        export DISPLAY=":$number"
        for _ in $(seq 1 50); do
            xdpyinfo >/dev/null 2>&1 && break
            xdotool getdisplaygeometry >/dev/null 2>&1 && break
            sleep 0.1
        done
        kill -0 "$display_xvfb" 2>/dev/null || continue
        openbox >/dev/null 2>&1 &
        display_wm=$!
        sleep 0.5
        wine_restart
        trap display_stop EXIT
        return 0
    done
    return 1
}

display_stop() {
    [[ -n ${display_cleanup:-} ]] && eval "$display_cleanup"
    wine_restart
    [[ -n ${display_wm:-} ]] && kill "$display_wm" 2>/dev/null
    [[ -n ${display_xvfb:-} ]] && kill "$display_xvfb" 2>/dev/null
    # Only the two servers: a program of the test that is still running
    # has been killed above or belongs to Wine's server, which ended.
    [[ -n ${display_wm:-} ]] && wait "$display_wm" 2>/dev/null
    [[ -n ${display_xvfb:-} ]] && wait "$display_xvfb" 2>/dev/null
    return 0
}

# Prints the id of a visible window titled exactly $1, other than the ids
# after it; polls for at most 20 seconds (xdotool's --sync can abort when a
# Wine window closes).
display_wait_window() {
    local title=$1 id other
    shift
    for _ in $(seq 1 200); do
        for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
            [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$title" ]] || continue
            for other in "$@"; do [[ $id == "$other" ]] && continue 2; done
            echo "$id"
            return 0
        done
        sleep 0.1
    done
    return 1
}

display_wait_gone() {
    for _ in $(seq 1 200); do
        xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# Presses Return in window $1 until it closes (a key can reach the window
# before Wine gives it the focus); fails when it stays.
display_press_return() {
    local id=$1
    for _ in 1 2 3 4 5; do
        xdotool windowactivate "$id" 2>/dev/null
        sleep 0.3
        xdotool key Return 2>/dev/null
        for _ in $(seq 1 20); do
            xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$id" || return 0
            sleep 0.1
        done
    done
    return 1
}
