#!/usr/bin/env bash
# Prepared-base benchmark: the base control, the completed copy of the
# subscriber file and the bag rebuild of a generated base, run through
# quervane-scenario, against a plain `cp` of the same seven files.
#
#   tests/bench/bench_prepared.sh RUNNER [SUBSCRIBERS ...]
#
# RUNNER is the built quervane-scenario (e.g. build/quervane-scenario).
# SUBSCRIBERS defaults to 1000000; give several counts to see that the peak
# memory does not grow with the subscriber count. Prints, per count, both
# times, their ratio and the run's peak resident memory (/usr/bin/time -v).
# The generated bases live in a temporary folder, removed at the end.
#
# BENCH_RUNS (default 3) runs both sides that many times, alternately, and
# keeps the best time of each (and the largest peak): on a shared machine
# the best time is the one least disturbed by other work. Before each timed part the files written
# so far are flushed (sync), so that neither side pays for the other's
# writeback.
set -euo pipefail
if [ $# -lt 1 ]; then
    echo "usage: bench_prepared.sh RUNNER [SUBSCRIBERS ...]" >&2
    exit 2
fi
runner=$(realpath "$1")
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000000)
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

seconds() { date +%s.%N; }
# The smallest of the numbers given, empty arguments ignored.
smallest() { python3 -c 'import sys; print(min(float(x) for x in sys.argv[1:] if x))' "$@"; }

for n in "${counts[@]}"; do
    base="$tmp/base-$n"
    python3 "$here/generate_prepared_base.py" "$base" --subscribers "$n"
    size=$(du -cb "$base"/import/BN.* | tail -1 | cut -f1)

    # Warm the page cache so that both sides read from memory.
    cat "$base"/import/BN.* > /dev/null

    run_time=
    cp_time=
    peak=0
    for ((attempt = 0; attempt < ${BENCH_RUNS:-3}; ++attempt)); do
        run="$tmp/run-$n"
        rm -rf "$run"
        cp -a "$base" "$run"
        sync
        start=$(seconds)
        /usr/bin/time -v -o "$tmp/time-$n" "$runner" "$run"
        end=$(seconds)
        if ! tail -1 "$run/transcript.txt" | grep -q "Importation effectu"; then
            echo "the run did not end with its import:" >&2
            cat "$run/transcript.txt" >&2
            exit 1
        fi
        run_time=$(smallest "$(python3 -c "print($end - $start)")" "$run_time")
        run_peak=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$tmp/time-$n")
        peak=$((run_peak > peak ? run_peak : peak))
        rm -rf "$run"

        copy="$tmp/copy-$n"
        rm -rf "$copy"
        mkdir "$copy"
        sync
        start=$(seconds)
        for ext in jo li sa ro re ed ti; do
            cp "$base/import/BN.$ext" "$copy/BN.$ext"
        done
        end=$(seconds)
        cp_time=$(smallest "$(python3 -c "print($end - $start)")" "$cp_time")
        rm -rf "$copy"
    done

    python3 - "$n" "$size" "$run_time" "$cp_time" "$peak" <<'PY'
import sys
n, size, run, cp, peak = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5])
print(f"subscribers {int(n):>9}  base {size / 1e6:8.1f} MB  "
      f"control+completion+rebuild+copies {run:7.3f} s  cp of the 7 files {cp:7.3f} s  "
      f"ratio {run / cp:5.2f}  peak RSS {peak / 1024:7.1f} MB")
PY
    rm -rf "$base"
done
