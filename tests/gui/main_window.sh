#!/bin/bash
# The product's window under an X server: the window with its caption, status
# line and button; "Lire les données" without configuration shows the
# configuration error, acknowledged with Enter; a right click offers the
# about box; "OK" ends the program with status 0. Screenshots are kept in
# the artifact folder.
#
# Usage (inside xvfb-run): main_window.sh PROGRAM ARTIFACT_FOLDER
set -u
# shellcheck source=gui_lib.sh
source "$(dirname "$0")/gui_lib.sh"
gui_init "$1" "" "$2"
artifacts=$gui_artifacts

# Whether a region (WxH+X+Y) of a picture holds dark pixels (text).
has_dark_pixels() {
    local darkest
    darkest=$(convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:int(255*minima)]" info:)
    [ "$darkest" -lt 100 ]
}

# The program works in bin/; its configuration folder ../config is missing.
mkdir -p "$gui_workspace/bin"
gui_start_program "$gui_workspace/bin"

window=$(gui_wait_for_window "Quervane") || fail "no window titled Quervane"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.5

# 320 x 120 dialog units with a 6 x 13 pixel base.
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "480x195" ] || fail "window size $geometry, expected 480x195"

gui_shot "$window" "$artifacts/main_window.png" || fail "no screenshot of the window"
shot="$artifacts/main_window.png"
# The status line (15, 30, 280 x 15 units) is a white field.
[ "$(gui_pixel "$shot" 232 60)" = "255,255,255" ] || fail "status line not white: $(gui_pixel "$shot" 232 60)"
# Its caption "Opération en cours" (115, 15) and the button texts are drawn.
has_dark_pixels "$shot" 120x13+172+24 || fail "no caption above the status line"
has_dark_pixels "$shot" 200x16+120+109 || fail "no text on the button Lire les données"
has_dark_pixels "$shot" 60x16+412+3 || fail "no text on the button OK"
# The dialog's ground is not white: the field stands out.
[ "$(gui_pixel "$shot" 10 180)" != "255,255,255" ] || fail "dialog ground is white"

# "Lire les données" (70, 65, 154 x 14 units): a message box titled with the
# application's name comes up.
gui_click "$window" 220 117
box=$(gui_wait_for_window "Quervane" "$window") || fail "no message box after Lire les données"
sleep 0.5
import -window root "$artifacts/configuration_error.png"
box_size=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: //p')
echo "message box $box_size"
xdotool windowfocus --sync "$box" key Return
gui_wait_until_gone "$box" || fail "the message box stayed after Enter"
gui_program_runs || fail "the program ended after the message box"

# A right click offers the about box.
xdotool mousemove --window "$window" 30 170 click 3
sleep 0.5
xdotool key Down Return
about=$(gui_wait_for_window "A propos de Quervane") || fail "no about box from the context menu"
sleep 0.5
gui_shot "$about" "$artifacts/about_box.png"
xdotool windowfocus --sync "$about" key Return
gui_wait_until_gone "$about" || fail "the about box stayed after Enter"

# "OK" ends the program with status 0.
gui_quit_with_ok "$window"
echo "PASS: main window, configuration error, about box, exit status 0"
