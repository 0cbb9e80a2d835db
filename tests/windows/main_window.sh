#!/usr/bin/env bash
# main_window.sh QUERVANE_EXE ARTIFACT_FOLDER: the product under Wine on a
# virtual display: the main window titled Quervane with its French texts
# drawn (screenshot kept in the artifact folder), "Lire les données" without
# configuration brings up a message box, a right click offers the about box
# "A propos de Quervane", which opens and closes, and "OK" ends the program.
set -u
here=$(dirname "$0")
# shellcheck source=tests/windows/wine_env.sh
source "$here/wine_env.sh"
# shellcheck source=tests/windows/display.sh
source "$here/display.sh"
program=$1 artifacts=$2
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png
work=$(mktemp -d)
fail() {
    echo "FAIL: $*"
    import -window root "$artifacts/failure.png" 2>/dev/null
    exit 1
}
display_start || fail "no X display"
# The program works in bin/; its configuration folder ../config is missing.
mkdir -p "$work/bin"
(cd "$work/bin" && exec "$here/wine_run.sh" "$program" >"$work/output.log" 2>&1) &
pid=$!
display_cleanup="kill $pid 2>/dev/null; rm -rf '$work'"

# Whether a region (WxH+X+Y) of a picture holds dark pixels (text).
has_dark_pixels() {
    local darkest
    darkest=$(convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:int(255*minima)]" info:)
    [[ $darkest -lt 100 ]]
}

window=$(display_wait_window "Quervane") || fail "no window titled Quervane"
xdotool windowactivate "$window" 2>/dev/null
sleep 1
shot=$artifacts/main_window.png
import -window "$window" "$shot" || fail "no screenshot of the window"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "main window $geometry"
width=${geometry%x*} height=${geometry#*x}
((width > 300 && height > 100)) || fail "window size $geometry"
# The caption above the status line and the button "Lire les données" are
# drawn in the window's upper and lower halves.
has_dark_pixels "$shot" "$((width - 20))x$((height / 3))+10+$((height / 10))" ||
    fail "no text in the upper part of the window"
has_dark_pixels "$shot" "$((width - 20))x$((height / 3))+10+$((height / 2))" ||
    fail "no text in the lower part of the window"

# A right click offers the about box.
xdotool mousemove --window "$window" 30 $((height - 25)) click 3
sleep 1
xdotool key Down Return
about=$(display_wait_window "A propos de Quervane") || fail "no about box from the context menu"
sleep 1
import -window "$about" "$artifacts/about_box.png"
display_press_return "$about" || fail "the about box stayed after Enter"
kill -0 "$pid" 2>/dev/null || fail "the program ended with the about box"

# "OK" (the window's upper right corner) ends the program with status 0.
xdotool mousemove --window "$window" $((width - 35)) 10 click 1
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after OK"
wait "$pid"
status=$?
((status == 0)) || fail "exit status $status after OK"
echo "PASS: main window, about box and OK under Wine"
