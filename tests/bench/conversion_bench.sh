#!/usr/bin/env bash
# Benchmark of the supplier conversion (run on demand, never a test):
#
#   tests/bench/conversion_bench.sh RUNNER [SUBSCRIBERS] [WORKDIR]
#
# RUNNER is the quervane-scenario executable. For a set in delivery order
# (PreTri 0) and for the same set shuffled within its title (PreTri 1), the
# script converts a fresh copy of the set, then copies its subscriber file
# with cp, and prints both times, their ratio and the conversion's peak
# memory against the budget of 64 MB plus 64 bytes per subscriber (best of
# BENCH_RUNS runs, below). A second line gives the conversion's processor
# time (user and system, the least of the runs) and the ratio that it would
# reach if it kept every core of the machine busy from start to end: the
# lowest ratio that this machine allows the conversion as it works now.
# Targets: ratio <= 2.0 without the pre-sort, <= 4.0 with it.
set -euo pipefail

if [ $# -lt 1 ]; then
    echo "usage: $0 RUNNER [SUBSCRIBERS] [WORKDIR]" >&2
    exit 2
fi
RUNNER=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
SUBSCRIBERS=${2:-1000000}
WORK=${3:-$(mktemp -d)}
HERE=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$WORK"
budget_kb=$(( (64 * 1024 * 1024 + 64 * SUBSCRIBERS) / 1024 ))

seconds() { date +%s.%N; }
# The smaller of two times; the second may be empty (none yet).
least() {
    python3 -c 'import sys; a = float(sys.argv[1]); b = sys.argv[2]; print(a if not b or a < float(b) else b)' "$1" "$2"
}
elapsed() { python3 -c 'import sys; print(float(sys.argv[1]) - float(sys.argv[2]))' "$1" "$2"; }

run_one() {
    local label=$1 shuffle=$2
    local set="$WORK/set-$label"
    if [ ! -d "$set" ]; then
        echo "generating $label set of $SUBSCRIBERS subscribers..."
        python3 "$HERE/conversion_generate.py" "$set" --subscribers "$SUBSCRIBERS" $shuffle
    fi
    local root="$WORK/run-$label"
    local best_conversion="" best_copy="" best_cpu="" peak=0
    # BENCH_RUNS (default 3) runs both sides that many times, alternately,
    # and keeps the best time of each and the largest peak: on a shared
    # machine the best time is the least disturbed. Before each timed part
    # the files written so far are flushed (sync), so that neither side pays
    # for the other's writes.
    for ((attempt = 0; attempt < ${BENCH_RUNS:-3}; ++attempt)); do
        rm -rf "$root" "$WORK/copy.CYB"
        cp -a "$set" "$root"
        sync
        local t0 t1 t2 t3
        t0=$(seconds)
        /usr/bin/time -v "$RUNNER" "$root" 2>"$WORK/time-$label.txt" >/dev/null
        t1=$(seconds)
        sync
        t2=$(seconds)
        cp "$set/import/JOURNAL.CYB" "$WORK/copy.CYB"
        t3=$(seconds)
        local run_peak
        run_peak=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$WORK/time-$label.txt")
        (( run_peak > peak )) && peak=$run_peak
        local run_cpu
        run_cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$WORK/time-$label.txt")
        best_cpu=$(least "$run_cpu" "$best_cpu")
        best_conversion=$(least "$(elapsed "$t1" "$t0")" "$best_conversion")
        best_copy=$(least "$(elapsed "$t3" "$t2")" "$best_copy")
    done

    local status
    status=$(tail -1 "$root/transcript.txt")
    python3 - "$label" "$best_conversion" "$best_copy" "$peak" "$budget_kb" "$status" \
        "$best_cpu" "$(nproc)" <<'EOF'
import sys
label, conversion, copy, peak, budget, status, cpu, cores = sys.argv[1:]
conversion, copy, cpu, cores = float(conversion), float(copy), float(cpu), int(cores)
ratio = lambda t: t / copy if copy > 0 else float('inf')
print('%-18s conversion %7.2f s   cp %6.2f s   ratio %5.2f   peak %7.1f MB (budget %.1f MB)   %s'
      % (label, conversion, copy, ratio(conversion), int(peak) / 1024, int(budget) / 1024,
         status))
# The conversion's processor time spread evenly over every core: no run on
# this machine can be faster, whatever its threads do.
print('%-18s processor %6.2f s   on %d cores at best %5.2f s   ratio at best %5.2f'
      % ('', cpu, cores, cpu / cores, ratio(cpu / cores)))
EOF
    rm -rf "$root" "$WORK/copy.CYB"
}

run_one "PreTri0-ordered" ""
run_one "PreTri1-shuffled" "--shuffle"
