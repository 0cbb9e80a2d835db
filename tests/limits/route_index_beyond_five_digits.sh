#!/usr/bin/env bash
# A conversion of 100,001 routes, one subscriber each:
# - without bags, "SACS.LIS" is never read back: the run ends normally and
#   the last entry carries the route index in six digits;
# - with bags, the bag files would read that index back in five digits: the
#   run stops with a message before writing any bag file.
#
#   route_index_beyond_five_digits.sh RUNNER TEMPLATE   (see commun.sh)
set -euo pipefail
RUNNER=$1
TEMPLATE=$2
source "$(dirname "$0")/commun.sh"

routes="[record(b'E1', b'VA01', b'%06d' % route) for route in range(100001)]"

build sans_sacs "$routes" '\r\n'
expect test "$(tail -n 1 "$WORK/sans_sacs/transcript.txt")" = "status FIN NORMALE"
sacs_lis=$(scenario_file sans_sacs work SACS.LIS)
expect test "$(tail -c 10 "$sacs_lis")" = "0001100000"
expect test -f "$WORK/sans_sacs/data/NR.RO"

build avec_sacs "$routes" '0001VA01Sac des Fins            00012\r\n'
expect grep -q "^message Plus de 99999 routages : le fichier SACS.LIS ne peut pas les noter$" \
    "$WORK/avec_sacs/transcript.txt"
expect test "$(tail -n 1 "$WORK/avec_sacs/transcript.txt")" = "status Echec de l'importation"
expect test ! -e "$WORK/avec_sacs/data/NR.SA"

finish route_index_beyond_five_digits
