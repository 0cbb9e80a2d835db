#!/usr/bin/env bash
# A run killed at any moment leaves the data folder whole: once the next run
# has recovered (it finishes a publication that was cut short, or drops what
# was staged), the folder is byte for byte the base it held before the run,
# or the base the run was writing, never a mix of both and never with the
# staging folder left in it.
#
# A conversion of 200,000 subscribers replaces the base of a first, smaller
# set, beside which lie the title's index files; a prepared import with
# completion and bag rebuild does the same. Each is killed (SIGKILL) at delays
# spread evenly over an unkilled run, more of them in the last part where the
# files are flushed, and at delays counted from the moment the publication's
# journal appears, spread over the time the publication took in the unkilled
# run. After each kill, a run that is cancelled at its first dialog recovers
# the folder, which is then compared with both bases.
#
#   kill_publication.sh RUNNER CONVERSION_GENERATOR PREPARED_GENERATOR
#
# With KILL_TRACE set, each kill's delay and whether it came before the run
# ended are printed.
set -euo pipefail
RUNNER=$1
GENERATOR=$2
PREPARED_GENERATOR=$3
source "$(dirname "$0")/commun.sh"

# killer ROOT MODE DELAY: runs RUNNER on ROOT and kills it with SIGKILL.
# MODE "time": DELAY seconds after it started. MODE "journal": DELAY seconds
# after the publication's journal appears in ROOT/data/.quervane. MODE
# "measure": no kill; prints the run's duration. MODE "watch": no kill;
# prints the time from the journal's appearance to the run's end (the watch
# takes a processor from the run: it is not timed with the run). Otherwise
# prints "killed" or "ended" (the run ended before the kill).
killer() {
    python3 - "$RUNNER" "$@" <<'EOF'
import os, signal, subprocess, sys, time

runner, root, mode, delay = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
journal = os.path.join(root, 'data', '.quervane', 'PUBLICATION')
start = time.perf_counter()
run = subprocess.Popen([runner, root], stdout=subprocess.DEVNULL)


def wait_until(moment):
    # Busy: a sleep this short oversleeps by more than the publication lasts.
    while time.perf_counter() < moment and run.poll() is None:
        pass


def journal_seen():
    # The journal lives only while the publication runs: it is polled
    # without pause.
    while run.poll() is None:
        if os.path.exists(journal):
            return time.perf_counter()
    return None


if mode == 'measure':
    run.wait()
    print('%.6f' % (time.perf_counter() - start))
    sys.exit(0)
if mode == 'watch':
    seen = journal_seen()
    run.wait()
    print('%.6f' % (time.perf_counter() - seen if seen is not None else 0.0))
    sys.exit(0)
if mode == 'time':
    time.sleep(max(0.0, delay - 0.002))
    wait_until(start + delay)
else:
    seen = journal_seen()
    if seen is not None:
        wait_until(seen + delay)
if run.poll() is None:
    run.send_signal(signal.SIGKILL)
    run.wait()
    print('killed' if run.returncode == -signal.SIGKILL else 'ended')
else:
    print('ended')
EOF
}

# base_with_indexes SOURCE ROOT TITLE: ROOT becomes a copy of the generated
# set SOURCE whose data folder, once SOURCE has run, holds the base it wrote
# and the index files TITLE.0 to TITLE.7 that the delivery application builds.
# Prints nothing; fails when the run does not succeed.
base_with_indexes() {
    local source=$1 root=$2 title=$3 i
    "$RUNNER" "$source" >/dev/null
    if ! succeeded "$source"; then
        echo "the run that writes the old base failed:" >&2
        tail -3 "$source/transcript.txt" >&2
        return 1
    fi
    for i in 0 1 2 3 4 5 6 7; do
        printf 'index %s of the old base\n' "$i" >"$source/data/$title.$i"
    done
    rm -rf "$root/data"
    cp -a "$source/data" "$root/data"
}

# state ROOT SET: "old", "new" or "neither": what ROOT's data folder is,
# every file and folder in it compared (a staging folder left is a
# difference).
state() {
    if diff -rq "$WORK/$2-old" "$1/data" >/dev/null 2>&1; then
        echo old
    elif diff -rq "$WORK/$2-new" "$1/data" >/dev/null 2>&1; then
        echo new
    else
        echo neither
    fi
}

# kill_series SET: the kills of one set, whose run folder is $WORK/SET, its
# old base $WORK/SET-old.
kill_series() {
    local set=$1 root="$WORK/$1"
    cp "$root/script.json" "$WORK/$set-script.json"

    # The new base, and how long a run and its publication take.
    "$RUNNER" "$root" >/dev/null
    keep_new_base "$set" "$root" "$WORK/$set-old" || return 0
    # The shortest of three runs: a kill planned within it lands before the
    # end of most runs.
    local duration=1000 publication mode
    for mode in measure measure measure watch; do
        rm -rf "$root/data"
        cp -a "$WORK/$set-old" "$root/data"
        if [[ $mode == measure ]]; then
            duration=$(python3 -c "print(min($duration, $(killer "$root" measure 0)))")
        else
            publication=$(killer "$root" watch 0)
        fi
        if ! diff -rq "$WORK/$set-new" "$root/data" >/dev/null; then
            fail "$set: another unkilled run wrote another base"
            return
        fi
    done
    echo "$set: an unkilled run takes ${duration} s, its publication ${publication} s"

    # 32 delays over the run, 12 more over its last part, where the staged
    # files are flushed, and 16 from the journal's appearance over the first
    # half of what follows (the rest is mostly the end of the process).
    local points=() i
    for ((i = 0; i < 32; ++i)); do
        points+=("time $(python3 -c "print($duration * 0.95 * $i / 32)")")
    done
    for ((i = 0; i < 12; ++i)); do
        points+=("time $(python3 -c "print($duration * (0.75 + 0.2 * $i / 12))")")
    done
    for ((i = 0; i < 16; ++i)); do
        points+=("journal $(python3 -c "print($publication * $i / 32)")")
    done

    local old=0 new=0 ended=0 point outcome now transcript
    for point in "${points[@]}"; do
        rm -rf "$root/data"
        cp -a "$WORK/$set-old" "$root/data"
        cp "$WORK/$set-script.json" "$root/script.json"
        # shellcheck disable=SC2086 # point is a mode and a delay
        outcome=$(killer "$root" $point)
        [[ $outcome == ended ]] && ended=$((ended + 1))
        [[ -n ${KILL_TRACE:-} ]] && echo "$point: $outcome"

        # The next run recovers the folder, then its first dialog is
        # cancelled.
        echo '{"now": "2026-12-07T10:00:00", "answers": [{"open-file": null}]}' >"$root/script.json"
        rm -f "$root/transcript.txt"
        "$RUNNER" "$root" >/dev/null
        transcript=$(cat "$root/transcript.txt")
        now=$(state "$root" "$set")
        case $now in
            old) old=$((old + 1)) ;;
            new) new=$((new + 1)) ;;
            *)
                fail "$set, kill at $point ($outcome): the folder is neither base:"
                diff -rq "$WORK/$set-new" "$root/data" | head -5 || true
                ;;
        esac
        if grep -aq '^message ' <<<"$transcript"; then
            fail "$set, kill at $point: the recovery showed $(grep -a '^message ' <<<"$transcript")"
        fi
        if [[ $outcome == ended && $now != new ]]; then
            fail "$set, kill at $point: the run ended before the kill, yet the folder is $now"
        fi
    done
    echo "$set: ${#points[@]} kills: $old left the old base, $new the new base" \
        "($ended of them after the run had ended)"
}

# A conversion: 20,000 subscribers in the old base, 200,000 in the new one.
python3 "$GENERATOR" "$WORK/conversion" --subscribers 200000 >/dev/null
python3 "$GENERATOR" "$WORK/conversion-first" --subscribers 20000 --seed 7 >/dev/null
base_with_indexes "$WORK/conversion-first" "$WORK/conversion" BC
cp -a "$WORK/conversion/data" "$WORK/conversion-old"
rm -rf "$WORK/conversion-first"
kill_series conversion

# A prepared import (control, completion and bag rebuild) the same way.
python3 "$PREPARED_GENERATOR" "$WORK/prepared" --subscribers 200000
python3 "$PREPARED_GENERATOR" "$WORK/prepared-first" --subscribers 20000
base_with_indexes "$WORK/prepared-first" "$WORK/prepared" BN
cp -a "$WORK/prepared/data" "$WORK/prepared-old"
rm -rf "$WORK/prepared-first"
kill_series prepared

((failures == 0))
