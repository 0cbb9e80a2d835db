#!/usr/bin/env bash
# An empty field of the bag layout may stand at any position, up to the
# largest number a layout holds: the bag files do not grow to reach it. The
# run is held to 1.5 GB of address space, which a bag line padded to that
# position would exceed; its bag file is the one written when the field
# stands at 0.
#
#   empty_bag_field_far_out.sh RUNNER TEMPLATE   (see commun.sh)
set -euo pipefail
RUNNER=$1
TEMPLATE=$2
source "$(dirname "$0")/commun.sh"

# run NAME POSITION: the template with a bag file of two bags, Champ4 of its
# bag layout (empty) at POSITION.
run() {
    local root=$WORK/$1
    cp -a "$TEMPLATE/input" "$root"
    mkdir -p "$root/work"
    printf '0001VA01Sac des Fins            00012\r\n0002VA01Sac du Bourg           00007\r\n' \
        > "$root/import/SAC.CYB"
    sed -i "s/^Champ4.Position:D 0\r\$/Champ4.Position:D $2\r/" "$root/config/SAC.DEF"
    grep -q "^Champ4.Position:D $2"$'\r'"\$" "$root/config/SAC.DEF"
    (ulimit -v 1500000 && "$RUNNER" "$root" > /dev/null) || echo "the run of $1 failed"
}

run proche 0
run lointain 2147483647
expect test "$(tail -n 1 "$WORK/lointain/transcript.txt")" = "status FIN NORMALE"
expect cmp "$(scenario_file proche data NR.SA)" "$(scenario_file lointain data NR.SA)"
expect cmp "$(scenario_file proche data LIBELLES.SAC)" "$(scenario_file lointain data LIBELLES.SAC)"

finish empty_bag_field_far_out
