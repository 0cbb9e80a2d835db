#!/usr/bin/env bash
# Every change a run makes to the data folder can fail: each write, flush,
# rename, link, deletion and folder creation of a small conversion and of a
# small prepared import is made to fail in turn, one per run. A run that
# meets the failure before its publication is complete fails: a message
# names a file, its last status is "Echec de l'importation", and the data
# folder is byte for byte what it was before the run, without the staging
# folder. A run whose failing call comes after the last rename (a deletion
# of what was set aside) has published the new base whole: it succeeds, the
# folder is the new base apart from what is left of the staging folder, and
# the next run removes that, without touching the index files that the
# delivery application built in between. A run may also succeed when the
# failing call has a fallback that does its work another way (a copy inside
# the kernel, a hard link): the folder must then be the new base exactly.
#
#   each_operation_fails.sh RUNNER OPERATION_FAULT_LIBRARY GENERATOR PREPARED_SCENARIO
set -euo pipefail
RUNNER=$1
FAULT=$2
GENERATOR=$3
PREPARED=$4
source "$(dirname "$0")/commun.sh"

# run_counted ROOT [CALL]: runs RUNNER on ROOT, the calls that change its
# data folder counted into $WORK/count; with CALL, that call fails, and the
# injector's line naming it goes to $WORK/failed.
run_counted() {
    local root=$1 data
    data=$(cd "$root/data" && pwd -P)
    rm -f "$WORK/count" "$WORK/failed"
    env LD_PRELOAD="$FAULT" QUERVANE_ECHEC_DOSSIER="$data" QUERVANE_ECHEC_APPEL="${2:-0}" \
        QUERVANE_COMPTE_APPELS="$WORK/count" "$RUNNER" "$root" >/dev/null 2>"$WORK/failed" || true
}

# recover ROOT: a run on ROOT that recovers the data folder, then is
# cancelled at its first dialog.
recover() {
    cp "$1/script.json" "$WORK/script.json"
    echo '{"now": "2026-12-07T10:00:00", "answers": [{"open-file": null}]}' >"$1/script.json"
    "$RUNNER" "$1" >/dev/null
    mv "$WORK/script.json" "$1/script.json"
}

# names_file MESSAGE: the message names a file: the write failure's message
# with a name, or any message holding a path of the run ("..\…").
names_file() {
    [[ $1 =~ ^message\ Impossible\ d\'écrire\ le\ fichier\ [^\ ] || $1 == *"..\\"?* ]]
}

# series SET TITLE: every call of the set whose folder is $WORK/SET (the
# run's input, its data folder holding the old base) fails in turn; TITLE
# names the title's index files.
series() {
    local set=$1 title=$2 root="$WORK/run" j lost left
    rm -rf "$root" "$WORK/$set-new"
    cp -a "$WORK/$set" "$root"
    run_counted "$root"
    keep_new_base "$set" "$root" "$WORK/$set/data" || return 0
    local calls
    calls=$(cat "$WORK/count")
    echo "$set: $calls calls change the data folder"

    # Each run is checked as it ends; whether a published run may succeed
    # depends on where its failing call lies, known once every call is named.
    local i failed message status rolled=0 leftover=0 last_rename=0
    local -a calls_named=() published=()
    for ((i = 1; i <= calls; ++i)); do
        rm -rf "$root"
        cp -a "$WORK/$set" "$root"
        run_counted "$root" "$i"
        failed=$(sed -n 's/^echec_operation: call [0-9]* fails: //p' "$WORK/failed")
        calls_named[i]=$failed
        local row="$set, call $i ($failed)"
        if [[ -z $failed ]]; then
            fail "$set, call $i: the run made fewer calls than the counted run"
            continue
        fi
        # The last rename of a staged file over the folder's.
        if [[ $failed =~ ^rename\ [^\ ]*/\.quervane/[^/\ ]+\ -\>\ ([^\ ]+)$ &&
            ${BASH_REMATCH[1]} != */.quervane/* ]]; then
            last_rename=$i
        fi
        message=$(grep -a '^message ' "$root/transcript.txt" | tail -1 || true)
        status=$(grep -a '^status ' "$root/transcript.txt" | tail -1 || true)
        if succeeded "$root"; then
            # Published: the folder must be the new base, whatever the
            # staging folder still holds, and no longer hold it after the
            # next run.
            if ! diff -rq -x .quervane "$WORK/$set-new" "$root/data" >/dev/null; then
                fail "$row: \"$status\", yet the folder is not the new base:"
                diff -rq "$WORK/$set-new" "$root/data" | head -5 || true
                continue
            fi
            left=0
            [[ -e $root/data/.quervane ]] && left=1
            # Before the next run, the delivery application builds its index
            # files of the new base: what the next run finishes of this
            # publication must leave them alone.
            for j in 0 1 2 3 4 5 6 7; do
                printf 'index %s of the new base\n' "$j" >"$root/data/$title.$j"
            done
            recover "$root"
            lost=()
            for j in 0 1 2 3 4 5 6 7; do
                if [[ $(cat "$root/data/$title.$j" 2>/dev/null) != "index $j of the new base" ]]; then
                    lost+=("$title.$j")
                fi
                rm -f "$root/data/$title.$j"
            done
            if ((${#lost[@]} > 0)); then
                fail "$row: \"$status\", then the next run removed or changed" \
                    "${lost[*]}, built after the publication"
                continue
            fi
            if ! diff -rq "$WORK/$set-new" "$root/data" >/dev/null; then
                fail "$row: after the next run the folder is not the new base:"
                diff -rq "$WORK/$set-new" "$root/data" | head -5 || true
                continue
            fi
            leftover=$((leftover + left))
            published+=("$i")
            continue
        fi
        if ! diff -rq "$WORK/$set/data" "$root/data" >/dev/null; then
            fail "$row: failed with \"$message\", but the folder changed:"
            diff -rq "$WORK/$set/data" "$root/data" | head -5 || true
        elif ! names_file "$message"; then
            fail "$row: last message \"$message\" names no file"
        elif [[ $status != "status Echec de l'importation" ]]; then
            fail "$row: last status \"$status\""
        else
            rolled=$((rolled + 1))
            echo "ok: $row: $message"
        fi
    done

    # A run may succeed when its failing call came after the last rename
    # (the folder's flush, the removal of what was set aside), or when the
    # call has a fallback that redoes its work: a copy inside the kernel
    # goes on through a buffer, a second name that cannot be linked is
    # copied. Any other failure reported as a success is a fault, even if
    # the folder looks right.
    local after=0 fallback=0
    for i in "${published[@]}"; do
        local row="$set, call $i (${calls_named[i]})"
        if ((i > last_rename)); then
            after=$((after + 1))
            echo "ok: $row: after the publication's renames, published"
        elif [[ ${calls_named[i]} =~ ^(copy_file_range|sendfile|sendfile64|link)\  ]]; then
            fallback=$((fallback + 1))
            echo "ok: $row: done another way, published"
        else
            fail "$row: the run succeeded though this call failed before the publication"
        fi
    done
    if ((last_rename == 0)); then
        fail "$set: no failing call was a rename of a staged file over the folder's"
    fi
    echo "$set: $calls failing calls: $rolled runs failed and left the old base;" \
        "$after failed after the last rename and published the new base" \
        "($leftover of them left their staging folder to the next run);" \
        "$fallback were done another way and published"
}

# A conversion of 300 subscribers replaces the base of 100 others, beside
# which lie the title's index files.
python3 "$GENERATOR" "$WORK/conversion" --subscribers 300 >/dev/null
python3 "$GENERATOR" "$WORK/first" --subscribers 100 --seed 7 >/dev/null
"$RUNNER" "$WORK/first" >/dev/null
if ! succeeded "$WORK/first"; then
    fail "the run that writes the old base did not succeed: $(tail -1 "$WORK/first/transcript.txt")"
fi
for i in 0 1 2 3 4 5 6 7; do
    printf 'index %s of the old base\n' "$i" >"$WORK/first/data/BC.$i"
done
rm -rf "$WORK/conversion/data"
cp -a "$WORK/first/data" "$WORK/conversion/data"
series conversion BC

# The prepared import with control, completion and bag rebuild; its data
# folder holds an older subscriber file and index files.
copy_input "$PREPARED" "$WORK/prepared"
series prepared QV

((failures == 0))
