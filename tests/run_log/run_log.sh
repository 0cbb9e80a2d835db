#!/usr/bin/env bash
# run_log.sh RUNNER SCENARIOS: scripted runs on copies of scenario inputs,
# with --log, checking work/Quervane.log (converted from 1252) line by line
# against what each run did, and the cancel answers.
set -u
runner=$1
scenarios=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# prepare NAME SCENARIO [SCRIPT]: a fresh copy of the scenario's input in
# $work/NAME, with SCRIPT as its script.json when given.
prepare() {
    local root="$work/$1"
    cp -a "$scenarios/$2/input" "$root"
    mkdir -p "$root/work"
    [ $# -ge 3 ] && printf '%s\n' "$3" >"$root/script.json"
    echo "$root"
}

# The run log of the scenario folder $1, in its working folder.
log_file() { echo "$1/work"/Quervane.log; }

log_of() {
    iconv -f CP1252 -t UTF-8 "$(log_file "$1")" | tr -d '\r'
}

# expect_log ROOT LINE...: the log holds exactly these lines.
expect_log() {
    local root=$1
    shift
    local expected
    expected=$(printf '%s\n' "$@")
    if [ "$(log_of "$root")" != "$expected" ]; then
        fail "$(basename "$root"): the log differs"
        diff <(printf '%s\n' "$expected") <(log_of "$root") | head -20
    fi
}

# A conversion that ends with the route-mixing status.
root=$(prepare conversion conv_routes_beyond_3000)
"$runner" --log "$root" >/dev/null || fail "conversion: the runner failed"
conversion_block=(
    "=== Importation du 07/12/2026 09:30:00 ==="
    "Source : ..\\import\\JOURNAL.CYB"
    "Jeu : jeu fournisseur, fichiers .CYB"
    "Titre : BASEMIN"
    "Comptes : abonnés 3002, liasses 61, sacs 60, routages 3002, éditions 1"
    "Statut final : Découpage effectué, mais attention:mélange de routages"
    "Fin : 07/12/2026 09:30:00"
    "Durée : 0 s")
expect_log "$root" "${conversion_block[@]}"
[ "$(wc -l <"$root/data/NR.JO")" -eq 3002 ] || fail "conversion: NR.JO does not hold 3002 records"
# A second run appends its own block.
"$runner" --log "$root" >/dev/null || fail "conversion: the second run failed"
expect_log "$root" "${conversion_block[@]}" "${conversion_block[@]}"

# A failed run: its message, then the failure status.
root=$(prepare failed prepared_write_failure)
mkdir "$root/data/QV.li" # a folder where the copy must write a file
"$runner" --log "$root" >/dev/null || fail "failed run: the runner failed"
expect_log "$root" \
    "=== Importation du 07/12/2026 09:30:00 ===" \
    "Source : ..\\import\\QV.jo" \
    "Jeu : base préparée" \
    "Titre : QV" \
    "Fichier copié : ..\\data\\QV.jo" \
    "Message : Impossible d'écrire le fichier ..\\data\\QV.li" \
    "Statut final : Echec de l'importation" \
    "Fin : 07/12/2026 09:30:00" \
    "Durée : 0 s"

# A prepared base: its files as they were written, completed and rebuilt.
root=$(prepare prepared prepared_full)
"$runner" --log "$root" >/dev/null || fail "prepared base: the runner failed"
expect_log "$root" \
    "=== Importation du 07/12/2026 09:30:00 ===" \
    "Source : ..\\import\\QV.jo" \
    "Jeu : base préparée" \
    "Titre : QV" \
    "Fichier copié : ..\\data\\QV.jo (complété)" \
    "Fichier copié : ..\\data\\QV.li" \
    "Fichier copié : ..\\data\\QV.sa (refabriqué)" \
    "Fichier copié : ..\\data\\QV.ro" \
    "Fichier copié : ..\\data\\QV.re" \
    "Fichier copié : ..\\data\\QV.ed" \
    "Fichier copié : ..\\data\\QV.ti" \
    "Statut final : Importation effectuée" \
    "Fin : 07/12/2026 09:30:00" \
    "Durée : 0 s"

# Without --log the tree is left as the reference runs expect it.
root=$(prepare no_log conv_routes_beyond_3000)
"$runner" "$root" >/dev/null || fail "no log: the runner failed"
[ -e "$(log_file "$root")" ] && fail "no log: Quervane.log written without --log"

# Cancel: a question refused goes on to the end; a question confirmed after
# 100 more boundaries stops the subscriber pass there.
question="message Interrompre l'importation ? Les données ne seront pas modifiées."
root=$(prepare cancelled conv_routes_beyond_3000 \
    '{"now": "2026-12-07T09:30:00", "answers": [{"open-file": "..\\import\\JOURNAL.CYB"}, {"cancel-refused": 3}, {"cancel": 100}]}')
"$runner" --log "$root" >/dev/null || fail "cancel: the runner failed"
[ "$(grep -c "^$question\$" "$root/transcript.txt")" -eq 2 ] ||
    fail "cancel: the question is not asked twice"
[ "$(tail -1 "$root/transcript.txt")" = "status Importation interrompue" ] ||
    fail "cancel: the run does not end with Importation interrompue: $(tail -1 "$root/transcript.txt")"
grep -q "FIN NORMALE\|mélange de routages\|lecture des libelles de sac" "$root/transcript.txt" &&
    fail "cancel: the run went on past the subscriber pass"
expect_log "$root" \
    "=== Importation du 07/12/2026 09:30:00 ===" \
    "Source : ..\\import\\JOURNAL.CYB" \
    "Jeu : jeu fournisseur, fichiers .CYB" \
    "Titre : BASEMIN" \
    "Statut final : Importation interrompue" \
    "Fin : 07/12/2026 09:30:00" \
    "Durée : 0 s"

root=$(prepare refused conv_routes_beyond_3000 \
    '{"now": "2026-12-07T09:30:00", "answers": [{"open-file": "..\\import\\JOURNAL.CYB"}, {"cancel-refused": 50}]}')
"$runner" "$root" >/dev/null || fail "refused cancel: the runner failed"
diff <(grep -v "^$question\$" "$root/transcript.txt") \
    "$scenarios/conv_routes_beyond_3000/expected/transcript.txt" >/dev/null ||
    fail "refused cancel: the run differs from the reference run but for the question"
[ "$(grep -c "^$question\$" "$root/transcript.txt")" -eq 1 ] || fail "refused cancel: no question"

# A prepared base cancelled at its first file copy.
root=$(prepare prepared_cancelled prepared_plain_copies \
    '{"now": "2026-12-07T09:30:00", "answers": [{"open-file": "..\\import\\QV.jo"}, {"cancel": 0}]}')
"$runner" "$root" >/dev/null || fail "prepared cancel: the runner failed"
[ "$(tail -2 "$root/transcript.txt" | head -1)" = "$question" ] &&
    [ "$(tail -1 "$root/transcript.txt")" = "status Importation interrompue" ] ||
    fail "prepared cancel: $(tail -2 "$root/transcript.txt" | tr '\n' '|')"

# A script with a malformed cancel answer is refused.
root=$(prepare bad_script conv_routes_beyond_3000 '{"answers": [{"cancel": -1}]}')
"$runner" "$root" 2>/dev/null
[ $? -eq 2 ] || fail "a negative cancel count is accepted"

if ((failures > 0)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "PASS: run log and cancel answers"
