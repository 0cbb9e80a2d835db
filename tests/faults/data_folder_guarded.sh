#!/usr/bin/env bash
# The data folder that a run cannot or must not change stays as it was, and
# the run says it failed, naming what stopped it:
# - two runs at once on one data folder: the second is refused with its
#   message while the first goes on, and the folder ends as one whole base;
# - a data folder that cannot be written, one base file that cannot be
#   written, a data folder that is a file;
# - a disk that fills up while the new base is written (when this machine
#   lets the test mount a small file system; otherwise it says it skipped);
# - and the scenario runner itself exits non-zero, with one line on standard
#   error, when its transcript cannot reach the disk.
#
#   data_folder_guarded.sh RUNNER GENERATOR
set -euo pipefail
RUNNER=$1
GENERATOR=$2
FAULT=unused
source "$(dirname "$0")/commun.sh"

# The whole content of a folder, one line per file: its path and checksum.
snapshot() {
    (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r sha1sum)
    (cd "$1" && find . -mindepth 1 -type d | sort)
}

last_status() { grep -a '^status ' "$1/transcript.txt" | tail -1 || true; }
last_message() { grep -a '^message ' "$1/transcript.txt" | tail -1 || true; }

# expect_refused ROW ROOT BEFORE MESSAGE: the run on ROOT ended with a message
# that begins with MESSAGE and the failure status, and its data folder is
# as BEFORE (a snapshot) says.
expect_refused() {
    local row=$1 root=$2 before=$3 message=$4
    local shown status
    shown=$(last_message "$root")
    status=$(last_status "$root")
    if [[ $shown != "message $message"* ]]; then
        fail "$row: last message \"$shown\""
    elif [[ $status != "status Echec de l'importation" ]]; then
        fail "$row: last status \"$status\""
    elif [[ $(snapshot "$root/data") != "$before" ]]; then
        fail "$row: the data folder changed"
    else
        echo "ok: $row: $shown"
    fi
}

# A base already in place: the run that every case tries to replace.
python3 "$GENERATOR" "$WORK/old" --subscribers 300 --seed 7 >/dev/null
"$RUNNER" "$WORK/old" >/dev/null
for i in 0 3 7; do printf 'index %s\r\n' "$i" >"$WORK/old/data/BC.$i"; done

# fresh NAME: a new set of a few thousand subscribers as scenario NAME, its
# data folder holding the old base.
fresh() {
    rm -rf "$WORK/$1"
    python3 "$GENERATOR" "$WORK/$1" --subscribers "${2:-3000}" >/dev/null
    cp -a "$WORK/old/data/." "$WORK/$1/data/"
}

# ---- two runs at once on one data folder ----
fresh first 300000
fresh second
# The second run's configuration names the first one's data folder.
printf '[Chemins]\r\nDATA=%s/\r\n' "$WORK/first/data" >"$WORK/second/config/Trelvamont.ini"
before=$(snapshot "$WORK/first/data")
"$RUNNER" "$WORK/first" >/dev/null &
first=$!
# The staging folder appears once the first run holds the folder.
for _ in $(seq 600); do
    [[ -d $WORK/first/data/.quervane ]] && break
    sleep 0.05
done
if [[ ! -d $WORK/first/data/.quervane ]]; then
    fail "two runs: the first run never began to write"
fi
"$RUNNER" "$WORK/second" >/dev/null
wait "$first"
shown=$(last_message "$WORK/second")
if [[ $shown != "message Le répertoire des données $WORK/first/data/ est utilisé par une autre importation"* ]] ||
    [[ $(last_status "$WORK/second") != "status Echec de l'importation" ]]; then
    fail "two runs: the second run was not refused: \"$shown\", \"$(last_status "$WORK/second")\""
elif [[ $(last_status "$WORK/first") != "status FIN NORMALE" ]]; then
    fail "two runs: the first run ended with \"$(last_status "$WORK/first")\""
else
    # The first run's base alone: the same set converted with nobody beside.
    fresh alone 300000
    "$RUNNER" "$WORK/alone" >/dev/null
    if [[ $(snapshot "$WORK/first/data") != "$(snapshot "$WORK/alone/data")" ]]; then
        fail "two runs: the data folder is not the first run's whole base"
    else
        echo "ok: two runs: the second refused, the first's base whole"
    fi
fi
[[ $before != "$(snapshot "$WORK/first/data")" ]] || fail "two runs: the first run changed nothing"
rm -rf "$WORK/first" "$WORK/second" "$WORK/alone"

# ---- what cannot be written ----
# Permissions bind only a user who is not root: as root, these runs go
# through setpriv as the unprivileged user.
as_user=()
if [[ $(id -u) -eq 0 ]]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# denied ROW MODE PATH MESSAGE: a fresh scenario opened to that user, then
# PATH (relative to it) given MODE; the run as that user must be refused
# with MESSAGE and change nothing.
denied() {
    local row=$1 mode=$2 path=$3 message=$4 before
    fresh denied
    chmod -R a+rwX "$WORK/denied"
    chmod a+rx "$WORK"
    chmod "$mode" "$WORK/denied/$path"
    before=$(snapshot "$WORK/denied/data")
    "${as_user[@]}" "$RUNNER" "$WORK/denied" >/dev/null
    expect_refused "$row" "$WORK/denied" "$before" "$message"
    chmod -R u+w "$WORK/denied"
}

denied "a data folder that cannot be written" 555 data "Impossible d'écrire le fichier ..\\data\\"
denied "one base file that cannot be written" 444 data/BC.LI \
    "Impossible d'écrire le fichier ..\\data\\BC.LI"

fresh folder_is_file
rm -rf "$WORK/folder_is_file/data"
printf 'not a folder\r\n' >"$WORK/folder_is_file/data"
"$RUNNER" "$WORK/folder_is_file" >/dev/null
if [[ $(cat "$WORK/folder_is_file/data") != "not a folder"* ]]; then
    fail "a data folder that is a file: the file changed"
elif [[ $(last_status "$WORK/folder_is_file") == "status FIN NORMALE" ]]; then
    fail "a data folder that is a file: the run reported success"
else
    echo "ok: a data folder that is a file: $(last_message "$WORK/folder_is_file") $(last_status "$WORK/folder_is_file")"
fi

# ---- a full disk ----
fresh full 3000
mount_point="$WORK/small"
mkdir "$mount_point"
if mount -t tmpfs -o size=8m tmpfs "$mount_point" 2>/dev/null; then
    cp -a "$WORK/full/." "$mount_point/"
    # The new base does not fit beside the old one and its set.
    head -c $(($(df --output=avail -B1 "$mount_point" | tail -1) - 600000)) /dev/zero \
        >"$mount_point/filler"
    before=$(snapshot "$mount_point/data")
    "$RUNNER" "$mount_point" >/dev/null || true
    expect_refused "a full disk" "$mount_point" "$before" "Impossible d'écrire le fichier"
    umount "$mount_point"
else
    echo "skipped: a full disk (this machine does not let the test mount a file system)"
fi

# ---- the runner's transcript ----
fresh transcript 10
ln -s /dev/full "$WORK/transcript/transcript.txt"
if "$RUNNER" "$WORK/transcript" >/dev/null 2>"$WORK/stderr"; then
    fail "a transcript that cannot be written: the runner exited 0"
elif [[ $(wc -l <"$WORK/stderr") -ne 1 ]] || ! grep -q 'transcript' "$WORK/stderr"; then
    fail "a transcript that cannot be written: standard error holds \"$(cat "$WORK/stderr")\""
else
    echo "ok: a transcript that cannot be written: $(cat "$WORK/stderr")"
fi

echo "$failures failed"
((failures == 0))
