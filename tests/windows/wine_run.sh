#!/usr/bin/env bash
# wine_run.sh PROGRAM.exe [ARGUMENT...]: runs a Windows program under Wine
# with the tests' settings (wine_env.sh); an argument that is an absolute
# path of this machine reaches the program as its Windows form (Z:\...).
# Used as CMake's cross-compiling emulator and as the reference runs' runner.
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
exec wine "$program" "${args[@]}"
