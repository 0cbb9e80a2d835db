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

for n in "${counts[@]}"; do
    base="$tmp/base-$n"
    python3 "$here/generate_prepared_base.py" "$base" --subscribers "$n"
    size=$(du -cb "$base"/import/BN.* | tail -1 | cut -f1)

    # Warm the page cache so that both sides read from memory.
    cat "$base"/import/BN.* > /dev/null

    run="$tmp/run-$n"
    cp -a "$base" "$run"
    start=$(seconds)
    /usr/bin/time -v -o "$tmp/time-$n" "$runner" "$run"
    end=$(seconds)
    run_time=$(python3 -c "print($end - $start)")
    if ! tail -1 "$run/transcript.txt" | grep -q "Importation effectu"; then
        echo "the run did not end with its import:" >&2
        cat "$run/transcript.txt" >&2
        exit 1
    fi
    peak=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$tmp/time-$n")

    copy="$tmp/copy-$n"
    mkdir "$copy"
    start=$(seconds)
    for ext in jo li sa ro re ed ti; do
        cp "$base/import/BN.$ext" "$copy/BN.$ext"
    done
    end=$(seconds)
    cp_time=$(python3 -c "print($end - $start)")

    python3 - "$n" "$size" "$run_time" "$cp_time" "$peak" <<'PY'
import sys
n, size, run, cp, peak = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4]), int(sys.argv[5])
print(f"subscribers {int(n):>9}  base {size / 1e6:8.1f} MB  "
      f"control+completion+rebuild+copies {run:7.3f} s  cp of the 7 files {cp:7.3f} s  "
      f"ratio {run / cp:5.2f}  peak RSS {peak / 1024:7.1f} MB")
PY
    rm -rf "$run" "$copy" "$base"
done
