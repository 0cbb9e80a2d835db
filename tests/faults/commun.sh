# What the fault tests share, sourced once RUNNER and FAULT are set: a work
# folder removed on exit, the count of the rows that failed, the copy of a
# scenario's input, and a run under injected faults.
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

# fail TEXT: one row failed.
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# copy_input SCENARIO ROOT: the input of the scenario folder SCENARIO as the
# folder ROOT, with the empty folders that its dirs.json lists (a checkout
# holds none).
copy_input() {
    cp -a "$1/input" "$2"
    python3 -c '
import json, os, sys
with open(os.path.join(sys.argv[1], "dirs.json")) as f:
    for d in json.load(f)["input"]:
        os.makedirs(os.path.join(sys.argv[2], d), exist_ok=True)
' "$1" "$2"
}

# run_faulty ROOT FILE FAIL_AT [write]: runs RUNNER on the scenario folder
# ROOT, the reads of the file whose path ends with FILE failing from byte
# FAIL_AT on; with "write", the writes of that file that cover byte FAIL_AT
# fail instead. The run's exit status is not looked at: the transcript tells.
run_faulty() {
    local mode=()
    [[ ${4:-} == write ]] && mode=(QUERVANE_ECHEC_ECRITURE=1)
    env LD_PRELOAD="$FAULT" QUERVANE_ECHEC_FICHIER="$2" QUERVANE_ECHEC_OCTET="$3" "${mode[@]}" \
        "$RUNNER" "$1" >/dev/null || true
}

# succeeded ROOT: the run on ROOT ended with a success status.
succeeded() {
    local status
    status=$(grep -a '^status ' "$1/transcript.txt" | tail -1 || true)
    [[ $status == "status FIN NORMALE" || $status == "status Importation effectuée" ||
        $status == "status Découpage effectué, mais attention:mélange de routages" ]]
}

# keep_new_base SET ROOT OLD: the run just made on ROOT must have succeeded
# and changed its data folder from the folder OLD, else the faults would
# prove nothing (a FAIL row, and false); its data folder is kept as
# $WORK/SET-new.
keep_new_base() {
    local set=$1 root=$2 old=$3
    if ! succeeded "$root"; then
        fail "$set: the run without fault did not succeed: $(tail -1 "$root/transcript.txt")"
        return 1
    fi
    cp -a "$root/data" "$WORK/$set-new"
    if diff -rq "$old" "$WORK/$set-new" >/dev/null; then
        fail "$set: the run did not change the data folder; the faults would prove nothing"
        return 1
    fi
}
