#!/usr/bin/env bash
# Codes recoded so many times that their suffix runs past the letters and
# through the control characters, on sets made large here:
# - one vehicle in 210 editions: the 206th edition's vehicle ends in a line
#   feed, which the subscriber file must hold as every line feed it writes,
#   a carriage return first;
# - one route that comes back 7,600 times: one of its codes holds a zero
#   byte, which ends the route field of the subscriber record (zero bytes to
#   the end of the field).
#
#   codes_recoded_past_the_letters.sh RUNNER TEMPLATE
#
# TEMPLATE: a scenario folder (input/) converting a CYB set whose supplier
# lines hold the edition at 2, the vehicle at 4 (4 characters) and the
# route at 8 (6 characters).
set -euo pipefail
runner=$1
template=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Builds and runs the scenario $1 whose subscriber lines the Python
# expression $2 gives, from the template's first line "first".
build() {
    local root=$work/$1
    cp -a "$template/input" "$root"
    mkdir -p "$root/work"
    python3 - "$root/import/JOURNAL.CYB" "$2" <<'PY'
import string, sys
path, lines = sys.argv[1], sys.argv[2]
first = open(path, 'rb').read().split(b'\r\n')[0]
def record(edition, vehicle, route):
    return first[:2] + edition + vehicle + route + first[14:] + b'\r\n'
letters = (string.ascii_uppercase + string.digits).encode()
editions = [bytes([a, b]) for a in letters for b in letters]
with open(path, 'wb') as out:
    for line in eval(lines):
        out.write(line)
PY
    "$runner" "$root" > /dev/null
}

expect() {
    if ! "$@"; then
        echo "FAIL: $*"
        failures=$((failures + 1))
    fi
}

# Every line feed of the file follows a carriage return.
no_bare_line_feed() {
    python3 -c "import re, sys; sys.exit(re.search(rb'(?<!\r)\n', open(sys.argv[1], 'rb').read()) is not None)" "$1"
}

build vehicle "[record(editions[i], b'VA01', b'R%05d' % i) for i in range(210)]"
expect no_bare_line_feed "$work/vehicle/data/NR.JO"
expect grep -q "^status FIN NORMALE$" "$work/vehicle/transcript.txt"

build route "[record(b'E1', b'VA01', route) for i in range(7600) for route in (b'RA1234', b'RB5678')]"
expect no_bare_line_feed "$work/route/data/NR.JO"
# A route field (8 characters at 10) that holds a zero byte holds nothing
# else after it.
expect python3 -c "
import sys
lines = open(sys.argv[1], 'rb').read().split(b'\r\n')
fields = [l[10:18] for l in lines if len(l) >= 18]
with_zero = [f for f in fields if b'\0' in f]
sys.exit(not with_zero or any(f[f.index(b'\0'):].strip(b'\0') for f in with_zero))
" "$work/route/data/NR.JO"

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "PASS codes_recoded_past_the_letters"
