#!/usr/bin/env bash
# A disk full for a moment during a conversion: once a write of one file
# fails, even if the writes after it go through, the run stops with a message
# naming that file and "Echec de l'importation", never with "FIN NORMALE".
# When the pre-sort's copy is the file that cannot be written, the supplier's
# subscriber file stays as it was and the copy is gone.
#
# The import of a prepared base stops the same way when the copy of one of
# its files fails.
#
#   base_write_fails.sh RUNNER FAULT_LIBRARY GENERATOR PREPARED_SCENARIO
set -euo pipefail
RUNNER=$1
FAULT=$2
GENERATOR=$3
PREPARED=$4
source "$(dirname "$0")/commun.sh"

# check SET FILE FAIL_AT SHOWN: runs a fresh copy of SET (a set generated
# here, or the prepared set), the write of FILE that covers byte FAIL_AT
# failing, and checks the transcript's end: the message names the file as
# SHOWN, then the run fails.
check() {
    local set=$1 file=$2 fail_at=$3 shown=$4
    local root="$WORK/run" row="$set, the write of $file at byte $fail_at failing"
    rm -rf "$root"
    if [[ $set == prepared ]]; then
        copy_input "$PREPARED" "$root"
    else
        cp -a "$WORK/$set" "$root"
    fi
    run_faulty "$root" "$file" "$fail_at" write
    local message status
    message=$(grep -a '^message ' "$root/transcript.txt" | tail -1 || true)
    status=$(grep -a '^status ' "$root/transcript.txt" | tail -1 || true)
    if [[ $message != "message Impossible d'écrire le fichier $shown" ]]; then
        fail "$row: last message \"$message\""
    elif [[ $status != "status Echec de l'importation" ]] ||
        grep -aq 'FIN NORMALE' "$root/transcript.txt"; then
        fail "$row: last status \"$status\""
    else
        echo "ok: $row: $message"
    fi
}

# About 2 MB of subscribers. The subscriber records go out behind, on a
# thread of their own, once the first 192 KiB are written: byte 200,000 lies
# in the first write that thread makes.
python3 "$GENERATOR" "$WORK/ordered" --subscribers 5000 >/dev/null
python3 "$GENERATOR" "$WORK/shuffled" --subscribers 5000 --shuffle >/dev/null

check ordered BC.JO 200000 '..\data\BC.JO'
check ordered BC.JO 100 '..\data\BC.JO'
check ordered BC.LI 20000 '..\data\BC.LI'
check ordered SACS.LIS 1000 'SACS.LIS'
check ordered BC.RO 10 '..\data\BC.RO'
check ordered BC.SA 100 '..\data\BC.SA'
check ordered BC.SA2 10 '..\data\BC.SA2'
check ordered LIBELLES.SAC 10 '..\data\LIBELLES.SAC'
# Byte 470 lies in the first field that the completion writes back.
check prepared QV.jo 470 '..\data\QV.jo'
check prepared QV.li 10 '..\data\QV.li'
check prepared QV.sa 10 '..\data\QV.sa'
# Last: the checks below look at what this run left.
check shuffled TEMP 100000 '..\import\TEMP'

# The failed pre-sort left the supplier's file whole and no copy behind.
if ! cmp -s "$WORK/run/import/JOURNAL.CYB" "$WORK/shuffled/import/JOURNAL.CYB"; then
    fail "the failed pre-sort changed the subscriber file"
fi
if [[ -e $WORK/run/import/TEMP ]]; then
    fail "the failed pre-sort left its copy behind"
fi

((failures == 0))
