#!/bin/bash
# A large supplier set (300,000 subscribers) converted under the product's
# window, chosen in the open-file dialog as an operator would (location
# field, full path, Enter). Screenshots taken from outside while the run
# works show "Lecture du routage: ..." and a progress bar partly filled,
# moving on from one to the next; the last one shows "FIN NORMALE" with the
# bar hidden again. The base files are in data/, the title's index files are
# gone. A second run cancelled in the open-file dialog leaves the keyboard
# focus on the status line: Enter ends the program with status 0.
#
# Usage (inside xvfb-run):
#   conversion_window.sh PROGRAM TEXT_PICTURE SET_GENERATOR ARTIFACT_FOLDER
set -u
# shellcheck source=gui_lib.sh
source "$(dirname "$0")/gui_lib.sh"
gui_init "$1" "$2" "$4"
generator=$3
artifacts=$gui_artifacts

# Enough records for the run to last over several screenshots, whose pace
# depends on the machine.
subscribers=800000
root="$gui_workspace/set"
python3 "$generator" "$root" --subscribers "$subscribers" || fail "cannot generate the set"
# Index files of the title left by the delivery application.
for n in 0 3 7; do printf 'index\r\n' >"$root/data/BC.$n"; done

# Main window, 320 x 120 dialog units with a 6 x 13 pixel base.
status_line=416x20+25+51 # inside the field's border
status_x=27                # where its text begins
status_y=54
progress_bar=405x23+30+159

# How much of the progress bar is filled, from 0 to 1, or "hidden" when the
# bar's place shows only the dialog's ground.
bar_fill() {
    local spread
    spread=$(convert "$1" -crop "$progress_bar" +repage -format '%[fx:standard_deviation]' info:)
    if awk -v s="$spread" 'BEGIN { exit !(s < 0.001) }'; then
        echo hidden
        return
    fi
    # The filled part is drawn in the theme's blue, the rest in greys: the
    # share of the bar's columns that hold blue.
    convert "$1" -crop "$progress_bar" +repage -fx '(b - r) > 0.25' \
        -scale "${progress_bar%%x*}x1!" -threshold 0 -format '%[fx:mean]' info:
}

is_partial() {
    [ "$1" != hidden ] && awk -v f="$1" 'BEGIN { exit !(f > 0.03 && f < 0.9) }'
}

gui_start_program "$root/work"
window=$(gui_wait_for_window "Quervane") || fail "no window titled Quervane"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.5

gui_click "$window" 220 117 # Lire les données
chooser=$(gui_wait_for_window "Ouvrir") || fail "no open-file dialog after Lire les données"
sleep 0.5
gui_shot "$chooser" "$artifacts/open_file.png"
xdotool windowfocus --sync "$chooser" key ctrl+l || fail "cannot focus the open-file dialog"
sleep 0.3
xdotool type --delay 10 "$root/import/JOURNAL.CYB"
sleep 0.3
xdotool key Return
gui_wait_until_gone "$chooser" || fail "the open-file dialog stayed after Enter"

# Screenshots until the status line says "FIN NORMALE", at most a minute.
shot="$gui_workspace/shot.png"
first_fill=
second_fill=
finished=no
start=$SECONDS
while ((SECONDS - start < 60)); do
    gui_program_runs || fail "the program ended during the run"
    if box=$(gui_find_window "Quervane" "$window"); then
        gui_shot "$box" "$artifacts/unexpected_box.png"
        fail "a message box came up during the run (unexpected_box.png)"
    fi
    gui_shot "$window" "$shot" || continue
    fill=$(bar_fill "$shot")
    if is_partial "$fill"; then
        if [ -z "$first_fill" ]; then
            cp "$shot" "$artifacts/during_run_1.png"
            first_fill=$fill
        elif [ -z "$second_fill" ] && awk -v a="$first_fill" -v b="$fill" 'BEGIN { exit !(b > a + 0.05) }'; then
            cp "$shot" "$artifacts/during_run_2.png"
            second_fill=$fill
        fi
    elif [ "$fill" = hidden ] && gui_shows_text "$shot" "$status_x" "$status_y" "FIN NORMALE"; then
        cp "$shot" "$artifacts/finished.png"
        finished=yes
        break
    fi
    sleep 0.05
done
echo "progress bar filled at $first_fill, then at $second_fill"
if [ "$finished" != yes ]; then
    cp "$shot" "$artifacts/last.png"
    fail "no FIN NORMALE within a minute (last screenshot: last.png)"
fi
[ -n "$first_fill" ] || fail "no screenshot showed a partly filled progress bar"
[ -n "$second_fill" ] || fail "the progress bar did not move on from $first_fill"

# While the run works: the route being read on the status line, a text
# that changes from one screenshot to the next.
for n in 1 2; do
    during="$artifacts/during_run_$n.png"
    echo "during_run_$n: Lecture du routage: $(gui_text_score "$during" "$status_x" "$status_y" "Lecture du routage:")," \
        "FIN NORMALE: $(gui_text_score "$during" "$status_x" "$status_y" "FIN NORMALE")"
    gui_shows_text "$during" "$status_x" "$status_y" "Lecture du routage:" ||
        fail "during_run_$n.png does not show Lecture du routage:"
    gui_shows_text "$during" "$status_x" "$status_y" "FIN NORMALE" &&
        fail "during_run_$n.png is taken for FIN NORMALE"
done
changed=$(compare -metric AE -crop "$status_line" "$artifacts/during_run_1.png" \
    "$artifacts/during_run_2.png" null: 2>&1)
[ "${changed%% *}" != 0 ] || fail "the status line did not change while the bar moved on"

# At the end.
final="$artifacts/finished.png"
echo "finished: FIN NORMALE: $(gui_text_score "$final" "$status_x" "$status_y" "FIN NORMALE")"
gui_shows_text "$final" "$status_x" "$status_y" "Lecture du routage:" &&
    fail "finished.png is taken for Lecture du routage:"
data="$root/data"
for name in BC.JO BC.LI BC.SA BC.SA2 BC.RO BC.RE BC.ED BC.TI LIBELLES.SAC DATE; do
    [ -s "$data/$name" ] || fail "no $name in data/ after the run"
done
records=$(wc -l <"$data/BC.JO")
[ "$records" -eq "$subscribers" ] || fail "BC.JO holds $records records, expected $subscribers"
routes=$(wc -l <"$data/BC.RO")
[ "$routes" -eq 3000 ] || fail "BC.RO holds $routes routes, expected 3000"
for n in 0 3 7; do
    [ -e "$data/BC.$n" ] && fail "the index file BC.$n is still there"
done

# A second press while "FIN NORMALE" shows, cancelled in the open-file
# dialog: the keyboard focus is then on the status line, as after every
# status, so Enter goes to the default button "OK" and ends the program.
gui_click "$window" 220 117
chooser=$(gui_wait_for_window "Ouvrir") || fail "no open-file dialog at the second press"
sleep 0.5
xdotool windowfocus --sync "$chooser" key Escape
gui_wait_until_gone "$chooser" || fail "the open-file dialog stayed after Escape"
sleep 0.5
xdotool windowfocus --sync "$window" key Return
gui_wait_for_exit " after Enter: the focus was not on the status line"
[ "$gui_status" -eq 0 ] || fail "exit status $gui_status after Enter"
echo "PASS: $subscribers subscribers converted under the window"
