#!/bin/bash
# The operator's window driven by the keyboard alone (no click at all), as
# an operator without a mouse would: Tab then Space on the main window
# start a run; the drive chooser starts in its list and Enter confirms the
# first candidate; in the file picker the arrows move to [LOT1] and Enter
# enters it, then two Tabs reach the name field, where a typed name in
# other case picks JOURNAL.CYB and Enter confirms it. The run converts the
# set and ends with FIN NORMALE; keys typed into the status line change
# nothing; Shift+Tab and Space start a second run, whose chooser Escape
# cancels. A third run, on a large set, is asked to stop with Escape while
# a window of another program lies over the main window: the question
# comes up, Enter answers Oui, the run ends with "Importation interrompue",
# and the other window stayed above the main window while the run worked,
# was asked to stop and ended.
# Screenshots are kept.
#
# Usage (inside xvfb-run):
#   keyboard.sh PROGRAM TEXT_PICTURE SET_GENERATOR ARTIFACT_FOLDER
set -u
# shellcheck source=gui_lib.sh
source "$(dirname "$0")/gui_lib.sh"
gui_init "$1" "$2" "$4"
generator=$3
artifacts=$gui_artifacts

root="$gui_workspace/set"
python3 "$generator" "$root" --subscribers 3000 >/dev/null || fail "cannot generate the set"
python3 "$generator" "$gui_workspace/big" --subscribers 1000000 >/dev/null ||
    fail "cannot generate the large set"
import="$root/import"
mkdir -p "$import/LOT1" "$import/LOT2"
mv "$import"/*.CYB "$import/LOT1/"
mv "$gui_workspace/big/import"/*.CYB "$import/LOT2/"
printf 'autre\r\n' >"$import/AUTRE.CYB"
printf 'CYB\r\n..\\import\r\n' >"$root/config/donnees.ini"

picker_title="Sélection de titre à importer"
chooser_title="Choix du chemin de lecture de la base"

# Waits (at most 30 seconds) until the main window's status line shows $1;
# the last screenshot is $2.
wait_for_status() {
    local start=$SECONDS
    while ((SECONDS - start < 30)); do
        gui_program_runs || fail "the program ended during the run"
        gui_shot "$window" "$2"
        gui_shows_text "$2" 27 54 "$1" && return 0
        sleep 0.2
    done
    return 1
}

# The stacking order of the screen, as xwininfo lists it, top first: the
# other program's window lies above the main window ($1 says when).
check_other_above() {
    local stack main_at other_at
    stack=$(xwininfo -root -children | awk '/^ +0x/ { print $1 }')
    main_at=$(grep -n -x "$(printf '0x%x' "$window")" <<<"$stack" | cut -d: -f1)
    other_at=$(grep -n -x "$(printf '0x%x' "$other")" <<<"$stack" | cut -d: -f1)
    echo "stacking $1: main window at $main_at, other window at $other_at (top first)"
    [ -n "$main_at" ] && [ -n "$other_at" ] || fail "$1: the windows are not in the stacking order"
    [ "$other_at" -lt "$main_at" ] || fail "$1: the main window rose above the other program's window"
}

# Runs the keyboard from "Lire les données" to the picker's LOT$1 folder.
to_lot() {
    chooser=$(gui_wait_for_window "$chooser_title") || fail "no drive chooser"
    sleep 0.5
    xdotool windowfocus --sync "$chooser" key Return
    gui_wait_until_gone "$chooser" || fail "Enter in the drive chooser did not confirm it"
    picker=$(gui_wait_for_window "$picker_title") || fail "no file picker after Enter"
    sleep 0.5
    xdotool windowfocus --sync "$picker"
    local i
    for ((i = 1; i < $1; ++i)); do xdotool key Down; done
    xdotool key Down Up
    sleep 0.2
    gui_shot "$picker" "$artifacts/picker_cursor_$1.png"
    xdotool key Return
    gui_wait_for_text "$picker" "$artifacts/picker_lot$1.png" 4 298 "..\\import\\LOT$1\\" ||
        fail "picker_lot$1.png: Enter on the row of LOT$1 did not enter it"
}

gui_start_program "$root/work"
window=$(gui_wait_for_window "Quervane") || fail "no window titled Quervane"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.5
# The focus starts on OK; Tab goes on to "Lire les données", Space presses it.
xdotool key Tab space
to_lot 1
xdotool key Tab Tab
xdotool type --delay 10 "journal.cyb"
gui_shot "$picker" "$artifacts/picker_typed.png"
xdotool key Return
gui_wait_until_gone "$picker" || fail "Enter with a typed name did not confirm the picker"
wait_for_status "FIN NORMALE" "$artifacts/finished.png" || fail "no FIN NORMALE (finished.png)"
records=$(wc -l <"$root/data/BC.JO")
[ "$records" -eq 3000 ] || fail "BC.JO holds $records records, expected 3000"

# The status line holds the focus after the run: typed keys change nothing.
xdotool windowfocus --sync "$window"
xdotool type --delay 10 "abc"
xdotool key BackSpace Delete
sleep 0.3
gui_shot "$window" "$artifacts/typed_into_status.png"
gui_shows_text "$artifacts/typed_into_status.png" 27 54 "FIN NORMALE" ||
    fail "typed_into_status.png: keys typed into the status line changed it"

# Shift+Tab leaves the status line for "Lire les données"; Space presses it.
xdotool key shift+Tab space
chooser=$(gui_wait_for_window "$chooser_title") || fail "Shift+Tab then Space did not start a run"
xdotool windowfocus --sync "$chooser" key Escape
gui_wait_until_gone "$chooser" || fail "Escape did not cancel the drive chooser"

# Cancel: the large set of LOT2, with another program's window over the
# main window during the run. The cleared status line holds the focus again.
sleep 0.5
xdotool windowfocus --sync "$window" key shift+Tab
sleep 0.3
gui_shot "$window" "$artifacts/third_run_focus.png"
xdotool key space
to_lot 2
xdotool key Tab Tab
xdotool type --delay 10 "JOURNAL.CYB"
xdotool key Return
gui_wait_until_gone "$picker" || fail "the picker of LOT2 stayed"
convert -size 200x120 xc:red "$gui_workspace/other.png"
display -title "autre programme" -geometry +600+400 "$gui_workspace/other.png" &
other_pid=$!
other=$(gui_wait_for_window "autre programme") || fail "the other program's window did not show"
# The run shows its statuses and moves its progress bar under the other
# window without rising above it, also while the question is open (the
# run goes on until it is answered).
check_other_above "during the run"
xdotool windowfocus --sync "$window" key Escape
box=$(gui_wait_for_window "Quervane" "$window") || fail "no question after Escape during the run"
check_other_above "during the run, with the question"
gui_shot "$box" "$artifacts/cancel_question.png"
xdotool windowfocus --sync "$box" key Return
gui_wait_until_gone "$box" || fail "the question stayed after Enter"
check_other_above "after Oui"
wait_for_status "Importation interrompue" "$artifacts/cancelled.png" ||
    fail "no Importation interrompue after Oui (cancelled.png)"
# The run writes its log block once it has ended, just after its status.
run_log="$root/work"/Quervane.log
for _ in $(seq 1 50); do
    grep -q "Statut final : Importation interrompue" "$run_log" && break
    sleep 0.1
done
grep -q "Statut final : Importation interrompue" "$run_log" ||
    fail "the run log does not end the cancelled run with Importation interrompue"
check_other_above "after the cancelled run"
kill "$other_pid"

# OK ends the program: Tab from the status line reaches it.
xdotool windowfocus --sync "$window" key Tab
sleep 0.2
xdotool key space
gui_wait_for_exit " after Tab then Space on OK"
[ "$gui_status" -eq 0 ] || fail "exit status $gui_status after OK"
echo "PASS: keyboard only: chooser, picker, status line, cancel"
