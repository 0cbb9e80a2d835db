#!/usr/bin/env bash
# crash_report.sh FAULT_PROGRAM: a fault under Wine with the crash report
# writer installed brings up the question; "Yes" writes c:\Quervane.dmp, a
# minidump (signature MDMP, streams after the header), and tells where.
set -u
here=$(dirname "$0")
# shellcheck source=tests/windows/wine_env.sh
source "$here/wine_env.sh"
# shellcheck source=tests/windows/display.sh
source "$here/display.sh"
fail() {
    echo "FAIL: $*"
    echo "windows:"
    for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)"
    done
    echo "program output:"
    cat "$output" 2>/dev/null
    exit 1
}
output=$(mktemp)
display_start || fail "no X display"
dump=$WINEPREFIX/drive_c/Quervane.dmp
rm -f "$dump"
"$here/wine_run.sh" "$1" >"$output" 2>&1 &
program=$!
display_cleanup="kill $program 2>/dev/null; rm -f '$output'"
question=$(display_wait_window "Quervane") || fail "no question after the fault"
# Return answers with the default button, "Yes".
display_press_return "$question" || fail "the question stayed after Return"
told=$(display_wait_window "Quervane" "$question") || fail "nothing told after Yes"
[[ -s $dump ]] || fail "no c:\\Quervane.dmp after Yes"
display_press_return "$told" || fail "the result box stayed after Return"
for _ in $(seq 1 100); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "the program did not end after the report"
[[ $(head -c 4 "$dump") == MDMP ]] || fail "Quervane.dmp is no minidump"
size=$(stat -c %s "$dump")
((size > 1024)) || fail "Quervane.dmp holds only $size bytes"
echo "PASS: crash report writes a minidump of $size bytes"
