#!/bin/bash
# The product's crash report under an X server: a fault signal sent to the
# running program brings up the question; "Oui" writes Quervane.dmp into the
# working folder and tells where, "Non" (Escape) writes nothing; either way
# the program then dies by the signal.
#
# Usage (inside xvfb-run): crash_report.sh PROGRAM ARTIFACT_FOLDER
set -u
program=$1
artifacts=$2
mkdir -p "$artifacts"
rm -f "$artifacts"/*.png "$artifacts"/*.dmp

workspace=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$workspace"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    echo "--- program output ---"
    cat "$workspace/output.log"
    exit 1
}

# Prints the id of a visible window titled exactly $1 other than $2.
wait_for_window() {
    for _ in $(seq 1 100); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            if [ "$id" != "${2:-}" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Starts the program in a fresh working folder and faults it; sets pid and
# window.
start_and_fault() {
    rm -rf "$workspace/bin"
    mkdir -p "$workspace/bin"
    cd "$workspace/bin" || exit 1
    "$program" >"$workspace/output.log" 2>&1 &
    pid=$!
    window=$(wait_for_window "Quervane") || fail "no main window"
    kill -SEGV "$pid"
}

# Waits for the program to end; sets status.
wait_for_end() {
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs"
    wait "$pid"
    status=$?
    pid=
}

# --- answer "Oui" ---
start_and_fault
question=$(wait_for_window "Quervane" "$window") || fail "no question after the fault"
sleep 0.5
import -window root "$artifacts/question.png"
xdotool windowfocus --sync "$question" key Return
told=$(wait_for_window "Quervane" "$window") || fail "no result box after Oui"
sleep 0.5
[ -f "$workspace/bin/Quervane.dmp" ] || fail "no Quervane.dmp after Oui"
import -window root "$artifacts/saved.png"
xdotool windowfocus --sync "$told" key Return
wait_for_end
[ "$status" -eq $((128 + 11)) ] || fail "exit status $status, expected death by SIGSEGV"
dump="$workspace/bin/Quervane.dmp"
cp "$dump" "$artifacts/Quervane.dmp"
[ "$(head -1 "$dump")" = "Quervane version 1.0" ] || fail "first line: $(head -1 "$dump")"
grep -q "^Program: .*quervane$" "$dump" || fail "no program line"
grep -q "^Signal: 11 SIGSEGV (Segmentation fault, sent by a process)$" "$dump" || fail "no signal line"
grep -q "^#0 " "$dump" || fail "no backtrace"
grep -q "^Loaded modules (/proc/self/maps):$" "$dump" || fail "no module list"
grep -q "libwx_gtk3u_core" "$dump" || fail "the module list lacks the wx library"

# --- answer "Non" ---
start_and_fault
question=$(wait_for_window "Quervane" "$window") || fail "no question after the second fault"
sleep 0.5
xdotool windowfocus --sync "$question" key Escape
wait_for_end
[ "$status" -eq $((128 + 11)) ] || fail "exit status $status after Non"
[ -e "$workspace/bin/Quervane.dmp" ] && fail "a dump was written after Non"
echo "PASS: crash report with Oui and Non"
