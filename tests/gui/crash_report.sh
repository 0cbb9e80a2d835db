#!/bin/bash
# The product's crash report under an X server: a fault signal sent to the
# running program brings up the question; "Oui" writes Quervane.dmp into the
# working folder and tells where, "Non" (Escape) writes nothing; either way
# the program then dies by the signal.
#
# Usage (inside xvfb-run): crash_report.sh PROGRAM ARTIFACT_FOLDER
set -u
# shellcheck source=gui_lib.sh
source "$(dirname "$0")/gui_lib.sh"
gui_init "$1" "" "$2"
artifacts=$gui_artifacts
rm -f "$artifacts"/*.dmp
bin="$gui_workspace/bin"

# Starts the program in a fresh working folder and faults it; sets window.
start_and_fault() {
    rm -rf "$bin"
    mkdir -p "$bin"
    gui_start_program "$bin"
    window=$(gui_wait_for_window "Quervane") || fail "no main window"
    kill -SEGV "$gui_pid"
}

# --- answer "Oui" ---
start_and_fault
question=$(gui_wait_for_window "Quervane" "$window") || fail "no question after the fault"
sleep 0.5
import -window root "$artifacts/question.png"
xdotool windowfocus --sync "$question" key Return
told=$(gui_wait_for_window "Quervane" "$window") || fail "no result box after Oui"
sleep 0.5
[ -f "$bin/Quervane.dmp" ] || fail "no Quervane.dmp after Oui"
import -window root "$artifacts/saved.png"
xdotool windowfocus --sync "$told" key Return
gui_wait_for_exit ""
[ "$gui_status" -eq $((128 + 11)) ] || fail "exit status $gui_status, expected death by SIGSEGV"
dump="$bin/Quervane.dmp"
cp "$dump" "$artifacts/Quervane.dmp"
[ "$(head -1 "$dump")" = "Quervane version 1.0" ] || fail "first line: $(head -1 "$dump")"
grep -q "^Program: .*quervane$" "$dump" || fail "no program line"
grep -q "^Signal: 11 SIGSEGV (Segmentation fault, sent by a process)$" "$dump" || fail "no signal line"
grep -q "^#0 " "$dump" || fail "no backtrace"
grep -q "^Loaded modules (/proc/self/maps):$" "$dump" || fail "no module list"
grep -q "libwx_gtk3u_core" "$dump" || fail "the module list lacks the wx library"

# --- answer "Non" ---
start_and_fault
question=$(gui_wait_for_window "Quervane" "$window") || fail "no question after the second fault"
sleep 0.5
xdotool windowfocus --sync "$question" key Escape
gui_wait_for_exit ""
[ "$gui_status" -eq $((128 + 11)) ] || fail "exit status $gui_status after Non"
[ -e "$bin/Quervane.dmp" ] && fail "a dump was written after Non"
echo "PASS: crash report with Oui and Non"
