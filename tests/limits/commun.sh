# What the limit tests share, sourced once RUNNER and TEMPLATE are set: a
# work folder removed on exit, the count of the checks that failed, and the
# building of a large scenario from a small one.
#
# TEMPLATE: a scenario folder (input/) converting a CYB set whose supplier
# lines hold the title at 0, the edition at 2, the vehicle at 4 (4
# characters), the route at 8 (6 characters), then the bag number "0001".
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

# expect COMMAND...: one check, which fails when COMMAND does.
expect() {
    if ! "$@"; then
        echo "FAIL: $*"
        failures=$((failures + 1))
    fi
}

# build NAME LINES [BAGS]: runs the template's input as the scenario
# $WORK/NAME, its subscriber file made of the lines that the Python
# expression LINES lists, and its bag file of the printf format BAGS when
# given. In LINES, record(edition, vehicle, route) is the template's first
# line with those codes, and editions lists 1,296 two-character codes.
build() {
    local root=$WORK/$1
    cp -a "$TEMPLATE/input" "$root"
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
    if [ $# -ge 3 ]; then printf '%b' "$3" > "$root/import/SAC.CYB"; fi
    "$RUNNER" "$root" > /dev/null
}

# scenario_file NAME FOLDER FILE: the path of FILE in FOLDER of the scenario
# NAME after its run.
scenario_file() {
    printf '%s\n' "$WORK/$1/$2/$3"
}

# finish NAME: the test's verdict.
finish() {
    if [ "$failures" -ne 0 ]; then exit 1; fi
    echo "PASS $1"
}
