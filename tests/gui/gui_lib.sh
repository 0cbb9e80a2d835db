# shellcheck shell=bash
# Helpers of the window tests that drive the product as an operator would
# (sourced by the scripts, which run inside xvfb-run). Every wait is bounded;
# the program started by gui_start_program is killed when the script ends,
# whatever happens.

# gui_init PROGRAM TEXT_PICTURE ARTIFACT_FOLDER: the product, the tool that
# draws a text in the dialog font, the folder of the screenshots. Sets
# gui_workspace, a temporary folder removed at the end.
gui_init() {
    gui_program=$1
    gui_text_picture=$2
    gui_artifacts=$3
    gui_workspace=$(mktemp -d)
    gui_pid=
    gui_pictures="$gui_workspace/pictures"
    mkdir -p "$gui_pictures" "$gui_artifacts"
    rm -f "$gui_artifacts"/*.png
    trap gui_cleanup EXIT
}

gui_cleanup() {
    [ -n "$gui_pid" ] && kill -KILL "$gui_pid" 2>/dev/null
    rm -rf "$gui_workspace"
}

fail() {
    echo "FAIL: $*"
    echo "--- program output ---"
    cat "$gui_workspace/output.log" 2>/dev/null
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

# Waits until a visible window whose title is exactly $1 appears, other than
# the ids given after it; prints its id. Fails after 10 seconds.
gui_wait_for_window() {
    local title=$1
    shift
    for _ in $(seq 1 100); do
        for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
            local known=no
            for other in "$@"; do [ "$id" = "$other" ] && known=yes; done
            if [ $known = no ]; then
                echo "$id"
                return 0
            fi
        done
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

# How well the text $4, drawn in the dialog font, matches picture $1 at its
# best place near (x $2, y $3), where a text drawn at that point would have
# its top left corner (within 3 pixels either way): 1 for the same pixels,
# about 0.9 for the same text drawn by the window, at most 0.5 for another
# text of the product. Prints the score and the place found ("0.97 @ 3,2").
gui_text_score() {
    local key
    key=$(printf '%s' "$4" | md5sum | cut -c1-16)
    local text="$gui_pictures/$key.png"
    if [ ! -f "$text" ]; then
        "$gui_text_picture" "$text" "$4" 2>/dev/null || fail "cannot draw the text '$4'"
    fi
    # The drawn text has a margin of 2 pixels.
    local size width height
    size=$(identify -format '%w %h' "$text")
    width=$((${size% *} + 6))
    height=$((${size#* } + 6))
    local region="$gui_pictures/region.png"
    convert "$1" -crop "${width}x${height}+$(($2 - 5))+$(($3 - 5))" +repage -colorspace Gray "$region"
    compare -dissimilarity-threshold 1 -metric NCC -subimage-search "$region" "$text" null: 2>&1 |
        sed -n 's/^\([0-9.e-]*\) @ \([0-9]*,[0-9]*\).*/\1 @ \2/p'
}

# Whether picture $1 shows the text $4 near (x $2, y $3).
gui_shows_text() {
    local score
    score=$(gui_text_score "$1" "$2" "$3" "$4")
    [ -n "$score" ] && awk -v s="${score%% *}" 'BEGIN { exit !(s >= 0.8) }'
}
