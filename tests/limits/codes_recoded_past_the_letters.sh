#!/usr/bin/env bash
# Codes recoded so many times that their suffix runs past the letters and
# through the control characters:
# - one vehicle in 210 editions: the 206th edition's vehicle ends in a line
#   feed, which the subscriber file must hold as every line feed it writes,
#   a carriage return first;
# - one route that comes back 7,600 times: one of its codes holds a zero
#   byte, which ends the route field of the subscriber record (zero bytes to
#   the end of the field).
#
#   codes_recoded_past_the_letters.sh RUNNER TEMPLATE   (see commun.sh)
set -euo pipefail
RUNNER=$1
TEMPLATE=$2
source "$(dirname "$0")/commun.sh"

# Every line feed of the file follows a carriage return.
no_bare_line_feed() {
    python3 -c "import re, sys; sys.exit(re.search(rb'(?<!\r)\n', open(sys.argv[1], 'rb').read()) is not None)" "$1"
}

build vehicle "[record(editions[i], b'VA01', b'R%05d' % i) for i in range(210)]"
expect no_bare_line_feed "$WORK/vehicle/data/NR.JO"
expect grep -q "^status FIN NORMALE$" "$WORK/vehicle/transcript.txt"

build route "[record(b'E1', b'VA01', route) for i in range(7600) for route in (b'RA1234', b'RB5678')]"
expect no_bare_line_feed "$WORK/route/data/NR.JO"
# A route field (8 characters at 10) that holds a zero byte holds nothing
# else after it.
expect python3 -c "
import sys
lines = open(sys.argv[1], 'rb').read().split(b'\r\n')
fields = [l[10:18] for l in lines if len(l) >= 18]
with_zero = [f for f in fields if b'\0' in f]
sys.exit(not with_zero or any(f[f.index(b'\0'):].strip(b'\0') for f in with_zero))
" "$WORK/route/data/NR.JO"

finish codes_recoded_past_the_letters
