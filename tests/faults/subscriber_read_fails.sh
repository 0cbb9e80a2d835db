#!/usr/bin/env bash
# A subscriber file that cannot be read past some byte: the conversion stops
# with "ERREUR LECTURE JOURNAUX" instead of ending as if the file ended
# there. The same set read whole ends with "FIN NORMALE", with and without
# the pre-sort (whose own readings fail the same way).
#
#   subscriber_read_fails.sh RUNNER FAULT_LIBRARY GENERATOR
set -euo pipefail
RUNNER=$1
FAULT=$2
GENERATOR=$3
source "$(dirname "$0")/commun.sh"

# check SET FAIL_AT EXPECTED: runs a fresh copy of SET, reads of its
# subscriber file failing from byte FAIL_AT on (none when empty), and
# checks the last status of the transcript.
check() {
    local set=$1 fail_at=$2 expected=$3
    local root="$WORK/run"
    rm -rf "$root"
    cp -a "$WORK/$set" "$root"
    if [[ -n $fail_at ]]; then
        run_faulty "$root" JOURNAL.CYB "$fail_at"
    else
        "$RUNNER" "$root" >/dev/null || true
    fi
    local last
    last=$(grep '^status ' "$root/transcript.txt" | tail -1)
    if [[ $last != "status $expected" ]] || { [[ -n $fail_at ]] && grep -q 'FIN NORMALE' "$root/transcript.txt"; }; then
        fail "$set, reads failing from ${fail_at:-nowhere}: last status \"$last\", expected \"$expected\""
    else
        echo "ok: $set, reads failing from ${fail_at:-nowhere}: $last"
    fi
}

# About 2 MB of subscribers: the pass reads them ahead on a thread of its own.
python3 "$GENERATOR" "$WORK/ordered" --subscribers 5000 >/dev/null
python3 "$GENERATOR" "$WORK/shuffled" --subscribers 5000 --shuffle >/dev/null
size=$(stat -c %s "$WORK/ordered/import/JOURNAL.CYB")
((size > 1500000)) || { echo "FAIL: the subscriber file has $size bytes only"; exit 1; }

check ordered "" "FIN NORMALE"
check ordered 1500000 "ERREUR LECTURE JOURNAUX"
check ordered 30000 "ERREUR LECTURE JOURNAUX"
check shuffled "" "FIN NORMALE"
check shuffled 1500000 "ERREUR LECTURE JOURNAUX"

((failures == 0))
