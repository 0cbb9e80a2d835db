#!/bin/bash
# The product's window under an X server: the window with its caption, status
# line and button; "Lire les données" without configuration shows the
# configuration error, acknowledged with Enter; a right click offers the
# about box; "OK" ends the program with status 0. Screenshots are kept in
# the artifact folder.
#
# Usage (inside xvfb-run): main_window.sh PROGRAM ARTIFACT_FOLDER
set -u
program=$1
artifacts=$2
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png

workspace=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$workspace"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- program output ---"
    cat "$workspace/output.log"
    exit 1
}

# Waits until a visible window whose title is exactly $1 appears, other than
# the ids given after it; prints its id.
wait_for_window() {
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

wait_until_gone() {
    for _ in $(seq 1 100); do
        xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
        xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    return 1
}

# The colour of pixel (x, y) of a picture, as "r,g,b".
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# Whether a region (WxH+X+Y) of a picture holds dark pixels (text).
has_dark_pixels() {
    local darkest
    darkest=$(convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:int(255*minima)]" info:)
    [ "$darkest" -lt 100 ]
}

# The program works in bin/; its configuration folder ../config is missing.
mkdir -p "$workspace/bin"
cd "$workspace/bin" || exit 1
"$program" >"$workspace/output.log" 2>&1 &
pid=$!

window=$(wait_for_window "Quervane") || fail "no window titled Quervane"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.5

# 320 x 120 dialog units with a 6 x 13 pixel base.
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "480x195" ] || fail "window size $geometry, expected 480x195"

import -window "$window" "$artifacts/main_window.png" || fail "no screenshot of the window"
shot="$artifacts/main_window.png"
# The status line (15, 30, 280 x 15 units) is a white field.
[ "$(pixel "$shot" 232 60)" = "255,255,255" ] || fail "status line not white: $(pixel "$shot" 232 60)"
# Its caption "Opération en cours" (115, 15) and the button texts are drawn.
has_dark_pixels "$shot" 120x13+172+24 || fail "no caption above the status line"
has_dark_pixels "$shot" 200x16+120+109 || fail "no text on the button Lire les données"
has_dark_pixels "$shot" 60x16+412+3 || fail "no text on the button OK"
# The dialog's ground is not white: the field stands out.
[ "$(pixel "$shot" 10 180)" != "255,255,255" ] || fail "dialog ground is white"

# "Lire les données" (70, 65, 154 x 14 units): a message box titled with the
# application's name comes up.
xdotool mousemove --window "$window" 220 117 click 1
box=$(wait_for_window "Quervane" "$window") || fail "no message box after Lire les données"
sleep 0.5
import -window root "$artifacts/configuration_error.png"
box_size=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: //p')
echo "message box $box_size"
xdotool windowfocus --sync "$box" key Return
wait_until_gone "$box" || fail "the message box stayed after Enter"
kill -0 "$pid" 2>/dev/null || fail "the program ended after the message box"

# A right click offers the about box.
xdotool mousemove --window "$window" 30 170 click 3
sleep 0.5
xdotool key Down Return
about=$(wait_for_window "A propos de Quervane") || fail "no about box from the context menu"
sleep 0.5
import -window "$about" "$artifacts/about_box.png"
xdotool windowfocus --sync "$about" key Return
wait_until_gone "$about" || fail "the about box stayed after Enter"

# "OK" (270, 0, 50 x 14 units) ends the program with status 0.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 442 11 click 1
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program still runs after OK"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after OK"
echo "PASS: main window, configuration error, about box, exit status 0"
