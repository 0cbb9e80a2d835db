#!/usr/bin/env bash
# compare.sh SCENARIO_DIR RUNNER
#   Runs RUNNER on a fresh copy of SCENARIO_DIR/input and compares the tree
#   it leaves with SCENARIO_DIR/expected; prints "PASS name" (exit 0) or
#   "FAIL name" and the first differences (exit 1). See compare_tree.py for
#   what it accepts.
exec python3 "$(dirname "$0")/compare_tree.py" "$@"
