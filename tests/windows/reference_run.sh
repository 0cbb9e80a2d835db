#!/usr/bin/env bash
# reference_run.sh PROGRAM.exe TREE: one reference run under Wine. The
# cases' files keep the read-only modes of the folder they are kept in;
# root writes through them on Linux, but Wine gives such files the
# read-only attribute, which Windows' delete and rename refuse. The copy is
# made writable first, so that both systems start from the same tree.
set -u
chmod -R u+w "$2" || exit 1
exec "$(dirname "$0")/wine_run.sh" "$1" "$2"
