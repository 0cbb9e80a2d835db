#!/usr/bin/env bash
# A conversion of 100,001 routes, one subscriber each, from a small set made
# larger here (too large to keep among the scenarios):
# - without bags, "SACS.LIS" is never read back: the run ends normally and
#   the last entry carries the route index in six digits;
# - with bags, the bag files would read that index back in five digits: the
#   run stops with a message before writing any bag file.
#
#   route_index_beyond_five_digits.sh RUNNER TEMPLATE
#
# TEMPLATE: a scenario folder (input/) converting a CYB set whose supplier
# lines hold the route code at position 8, six characters wide, then the
# bag number "0001".
set -euo pipefail
runner=$1
template=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Builds the scenario in $work/$1; $2: the bag file's content.
build() {
    local root=$work/$1
    cp -a "$template/input" "$root"
    mkdir -p "$root/work"
    python3 - "$root/import/JOURNAL.CYB" <<'PY'
import sys
path = sys.argv[1]
first = open(path, 'rb').read().split(b'\r\n')[0]
with open(path, 'wb') as out:
    for route in range(100001):
        out.write(first[:8] + b'%06d' % route + first[14:] + b'\r\n')
PY
    printf '%b' "$2" > "$root/import/SAC.CYB"
    "$runner" "$root" > /dev/null
}

expect() {
    if ! "$@"; then
        echo "FAIL: $*"
        failures=$((failures + 1))
    fi
}

build sans_sacs '\r\n'
expect test "$(tail -n 1 "$work/sans_sacs/transcript.txt")" = "status FIN NORMALE"
expect test "$(tail -c 10 "$work/sans_sacs/work/SACS.LIS")" = "0001100000"
expect test -f "$work/sans_sacs/data/NR.RO"

build avec_sacs '0001VA01Sac des Fins            00012\r\n'
expect grep -q "^message Plus de 99999 routages : le fichier SACS.LIS ne peut pas les noter$" \
    "$work/avec_sacs/transcript.txt"
expect test "$(tail -n 1 "$work/avec_sacs/transcript.txt")" = "status Echec de l'importation"
expect test ! -e "$work/avec_sacs/data/NR.SA"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "PASS route_index_beyond_five_digits"
