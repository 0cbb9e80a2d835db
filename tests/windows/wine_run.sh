#!/usr/bin/env bash
# wine_run.sh PROGRAM.exe [ARGUMENT...]: runs a Windows program under Wine
# with the tests' settings (wine_env.sh); an argument that is an absolute
# path of this machine reaches the program as its Windows form (Z:\...).
# Used as CMake's cross-compiling emulator and as the reference runs' runner.
# The program's output (standard output and error together) is printed when
# it ends.
set -u
# shellcheck source=tests/windows/wine_env.sh
source "$(dirname "$0")/wine_env.sh"
program=$1
shift
args=()
for arg in "$@"; do
    if [[ $arg == /* && -e $arg ]]; then
        args+=("$(wine_path "$arg")")
    else
        args+=("$arg")
    fi
done
# The program writes into a file that is shown once it has ended: a Wine
# service that it starts (device drivers, the desktop) lives on and would
# hold the caller's pipe open, and a reader of that pipe (ctest) would wait
# for it.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$program" "${args[@]}" </dev/null >"$output" 2>&1
status=$?
cat "$output"
exit "$status"
