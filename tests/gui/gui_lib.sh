# shellcheck shell=bash
# Helpers of the window tests that drive the product as an operator would
# (sourced by the scripts, which run inside xvfb-run). Every wait is bounded;
# the program started by gui_start_program is killed when the script ends,
# whatever happens.

# gui_init PROGRAM TEXT_MATCH ARTIFACT_FOLDER: the product, the tool that
# finds texts in screenshots, the folder of the screenshots. Sets
# gui_workspace, a temporary folder removed at the end.
gui_init() {
    gui_program=$1
    gui_text_match=$2
    gui_artifacts=$3
    gui_workspace=$(mktemp -d)
    gui_pid=
    mkdir -p "$gui_artifacts"
    rm -f "$gui_artifacts"/*.png
    trap gui_cleanup EXIT
    trap 'exit 143' TERM INT HUP # a stopped test still kills the program
}

gui_cleanup() {
    [ -n "$gui_pid" ] && kill -KILL "$gui_pid" 2>/dev/null
    rm -rf "$gui_workspace"
}

fail() {
    {
        echo "FAIL: $*"
        echo "--- program output ---"
        cat "$gui_workspace/output.log" 2>/dev/null
    } >&2
    exit 1
}

# Starts the product in the working folder $1.
gui_start_program() {
    (cd "$1" && exec "$gui_program" >"$gui_workspace/output.log" 2>&1) &
    gui_pid=$!
}

gui_program_runs() {
    kill -0 "$gui_pid" 2>/dev/null
}

# Prints the id of a visible window whose title is exactly $1 (xdotool's
# search ignores case: the product's pop-up windows are titled "quervane"),
# other than the ids given after it; fails when there is none.
gui_find_window() {
    local title=$1
    shift
    local id other
    for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$title" ] || continue
        for other in "$@"; do [ "$id" = "$other" ] && continue 2; done
        echo "$id"
        return 0
    done
    return 1
}

# Waits until gui_find_window finds a window (at most 10 seconds).
gui_wait_for_window() {
    for _ in $(seq 1 100); do
        gui_find_window "$@" && return 0
        sleep 0.1
    done
    return 1
}

gui_wait_until_gone() {
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# A screenshot of window $1 into file $2 (never without an id: import would
# wait for a click).
gui_shot() {
    [ -n "$1" ] || fail "screenshot of a window without an id"
    import -window "$1" "$2"
}

# Clicks at (x, y) of window $1.
gui_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# The colour of pixel (x, y) of a picture, as "r,g,b".
gui_pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# How well the texts given after $3, drawn in the dialog font, match
# picture $1 where a text drawn at (x $2, y $3) would be (within 3 pixels
# either way): one line per text, "SCORE @ X,Y" with the place found. 1 for
# the same pixels, 0.9 and more for the same text drawn by the window, far
# less for another text, except texts that differ in one character.
gui_text_scores() {
    "$gui_text_match" "$@" 2>/dev/null || fail "cannot match texts in $1"
}

gui_text_score() {
    gui_text_scores "$1" "$2" "$3" "$4"
}

# Whether picture $1 shows the text $4 near (x $2, y $3).
gui_shows_text() {
    local score
    score=$(gui_text_score "$1" "$2" "$3" "$4")
    [ -n "$score" ] && awk -v s="${score%% *}" 'BEGIN { exit !(s >= 0.8) }'
}

# Waits for the program to end (at most 10 seconds) and sets gui_status to
# its exit status; fails when it still runs, $1 ending the message.
gui_wait_for_exit() {
    for _ in $(seq 1 100); do
        gui_program_runs || break
        sleep 0.1
    done
    gui_program_runs && fail "the program still runs$1"
    wait "$gui_pid"
    gui_status=$?
    gui_pid=
}

# Presses "OK" (270, 0, 50 x 14 units) of the main window $1 and checks that
# the program ends with status 0.
gui_quit_with_ok() {
    xdotool windowfocus --sync "$1"
    gui_click "$1" 442 11
    gui_wait_for_exit " after OK"
    [ "$gui_status" -eq 0 ] || fail "exit status $gui_status after OK"
}

# Takes screenshots of window $1 into file $2 until it shows the text $5
# near (x $3, y $4), at most 10 seconds (a window may show before it is
# painted).
gui_wait_for_text() {
    for _ in $(seq 1 50); do
        gui_shot "$1" "$2"
        gui_shows_text "$2" "$3" "$4" "$5" && return 0
        sleep 0.2
    done
    return 1
}
