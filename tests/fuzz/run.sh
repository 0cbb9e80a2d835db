#!/bin/sh
# Builds the fuzz target of the ZIP reader with clang's libFuzzer (ASan and
# UBSan on) and runs it, seeded with the test archives of tests/data/zip.
#
#   tests/fuzz/run.sh [seconds]     run for that long (default 60); 0 only builds
#
# The build and the growing corpus go to build-fuzz/ at the top of the tree,
# or to $QUERVANE_FUZZ_BUILD. A crash leaves its input there as crash-* and
# makes the script fail.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUERVANE_FUZZ_BUILD:-$root/build-fuzz}
clang=${CLANGXX:-clang++}
mkdir -p "$build/corpus"

"$clang" -std=c++20 -g -O1 -Wall -Wextra \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I "$root" \
    "$root/tests/fuzz/zip_reader_fuzz.cpp" \
    "$root/platform/zip/zip_reader.cpp" \
    "$root/platform/zip/zip_names.cpp" \
    "$root/platform/codepage.cpp" \
    -lz -o "$build/zip_reader_fuzz"

[ "$seconds" -gt 0 ] || exit 0
cd "$build"
exec ./zip_reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1 \
    corpus "$root/tests/data/zip"
