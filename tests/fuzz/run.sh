#!/bin/sh
# Builds the fuzz targets with clang's libFuzzer (ASan and UBSan on) and runs
# each in turn: the ZIP reader, seeded with the test archives of
# tests/data/zip, and the FTP listing parser, seeded with the listings of
# tests/data/ftp_listings.
#
#   tests/fuzz/run.sh [seconds]     run each for that long (default 60); 0 only builds
#
# The builds and the growing corpora go to build-fuzz/ at the top of the
# tree, or to $QUERVANE_FUZZ_BUILD. A crash leaves its input there as crash-*
# and makes the script fail.
set -eu

seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${QUERVANE_FUZZ_BUILD:-$root/build-fuzz}
clang=${CLANGXX:-clang++}
mkdir -p "$build/corpus" "$build/corpus-ftp"

compile() {
    out=$1
    shift
    "$clang" -std=c++20 -g -O1 -Wall -Wextra \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I "$root" "$@" -o "$build/$out"
}

compile zip_reader_fuzz \
    "$root/tests/fuzz/zip_reader_fuzz.cpp" \
    "$root/platform/zip/zip_reader.cpp" \
    "$root/platform/zip/zip_names.cpp" \
    "$root/platform/codepage.cpp" \
    -lz
compile ftp_listing_fuzz \
    "$root/tests/fuzz/ftp_listing_fuzz.cpp" \
    "$root/platform/inet/ftp_list_parser.cpp"

[ "$seconds" -gt 0 ] || exit 0
cd "$build"
./zip_reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1 \
    corpus "$root/tests/data/zip"
exec ./ftp_listing_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/" -print_final_stats=1 \
    corpus-ftp "$root/tests/data/ftp_listings"
