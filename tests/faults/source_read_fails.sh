#!/usr/bin/env bash
# A file that the run reads, other than the supplier's subscriber file, fails
# to read part way: the run stops with what it shows when that file cannot be
# read at all, instead of going on without what came after the failure and
# ending with "FIN NORMALE" or "Importation effectuée".
#
#   source_read_fails.sh RUNNER FAULT_LIBRARY GENERATOR SCENARIOS
set -euo pipefail
RUNNER=$1
FAULT=$2
GENERATOR=$3
SCENARIOS=$4
source "$(dirname "$0")/commun.sh"

# check SET FILE FAIL_AT EXPECTED: runs a fresh copy of SET (a set generated
# here, or the input of a scenario), reads of the file whose path ends with
# FILE failing from byte FAIL_AT on, and checks that the transcript shows the
# line EXPECTED and no success.
check() {
    local set=$1 file=$2 fail_at=$3 expected=$4
    local root="$WORK/run" row="$set, reads of $file failing from $fail_at"
    if [[ -d $WORK/$set ]]; then
        cp -a "$WORK/$set" "$root"
    else
        copy_input "$SCENARIOS/$set" "$root"
    fi
    run_faulty "$root" "$file" "$fail_at"
    if ! grep -aqxF "$expected" "$root/transcript.txt"; then
        fail "$row: no \"$expected\"; the transcript ends with:"
        tail -3 "$root/transcript.txt"
    elif grep -aqE '^status (FIN NORMALE|Importation effectu)' "$root/transcript.txt"; then
        fail "$row: the run ends as a success"
    else
        echo "ok: $row: $expected"
    fi
    rm -rf "$root"
}

python3 "$GENERATOR" "$WORK/supplier" --subscribers 2000 >/dev/null

# The supplier's reference files (the title file also names the layout),
# the bag list written by the pass and the base descriptor.
check supplier TITRE.CYB 10 "message Erreur de lecture fu fichier titre (..\\import\\TITRE.CYB)"
check supplier EDITION.CYB 50 "status ERREUR LECTURE EDITIONS"
check supplier VOITURE.CYB 1000 "status ERREUR LECTURE VOITURES"
check supplier ROUTAGE.CYB 30000 "status ERREUR LECTURE ROUTAGES"
check supplier SAC.CYB 30000 "status ERREUR LECTURE SACS"
check supplier SACS.LIS 1000 "status ERREUR LECTURE SACS"
check supplier BASEBENCH.ini 10 "message Erreur de lecture du fichier descriptif des données"
# Without a bag slot, the bag file is copied line by line.
check conv_bag_slot_undefined SAC.CYB 10 "status ERREUR LECTURE SACS"
# A prepared base: its title file and the descriptor list that give its
# layout, the switches of the control, the completion and the rebuild, its
# subscriber file in the control and in the survey that the bag rebuild
# makes, and its bag file in the rebuild.
check prepared_full import/QV.ti 0 "message Erreur de lecture fu fichier titre (..\\import\\QV.ti)"
check prepared_full DESCRIPT.LIS 0 "message Erreur de lecture du fichier descriptif des données"
check prepared_full CHAMP.SAC 0 "message Impossible de lire le fichier ..\\CONFIG\\CHAMP.SAC"
check prepared_full INFOSAC 0 "message Impossible de lire le fichier ..\\CONFIG\\INFOSAC"
check prepared_full import/QV.jo 100 "status ERREUR LECTURE JOURNAUX"
# A level file of the control: a failed read is no discrepancy of its keys.
check prepared_full import/QV.sa 50 "message Impossible de lire le fichier ..\\import\\QV.sa"
check prepared_missing_bags MODES 0 "message Impossible de lire le fichier ..\\CONFIG\\MODES"
check prepared_missing_bags import/QV.jo 100 "status ERREUR LECTURE JOURNAUX"
check prepared_missing_bags import/QV.sa 20 "status ERREUR LECTURE SACS"
# Without the control, the base files are copied as they are: the copy names
# the file it could not read.
check prepared_plain_copies import/QV.li 100 "message Impossible de lire le fichier ..\\import\\QV.li"
check prepared_plain_copies import/QV.ro 0 "message Impossible de lire le fichier ..\\import\\QV.ro"

((failures == 0))
