#!/usr/bin/env python3
"""Runs one scenario folder and compares the tree it leaves with expected/.

    compare_tree.py SCENARIO_DIR RUNNER

Accepts a SCENARIO_DIR holding input/ (the tree the run starts from, with
script.json at its root) and expected/ (the tree it must leave, transcript.txt
included), and optionally:
  dirs.json    {"input": [...], "expected": [...]}: folders, empty ones
               included, that git does not keep;
  mtimes.json  {"data/OLD.jo": "2020-03-01T00:00:00", ...}: modification
               times (UTC) of input files; every other file gets the "now"
               of script.json (2026-01-01T00:00:00 when it has none).
RUNNER is a command, arguments allowed ("build/quervane-scenario"); it is
run with the copy's root as its last argument.

Prints "PASS name" and exits 0, or "FAIL name" followed by the first
differences (missing and unexpected files and folders, the runner's exit
code, and for each differing file its first differing record, with a caret
under the first differing column) and exits 1. Exits 2 on bad usage.
"""
import datetime
import json
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

MAX_LINES = 48          # of differences printed after FAIL
RUNNER_LINES = 5        # of runner output printed after a failure


def read_json(path, default):
    if not os.path.exists(path):
        return default
    with open(path, 'rb') as f:
        return json.loads(f.read().decode('utf-8'))


def epoch(iso_text):
    """Seconds since 1970 of an ISO date and time, UTC unless it says otherwise."""
    moment = datetime.datetime.fromisoformat(iso_text.rstrip('Z'))
    if moment.tzinfo is None:
        moment = moment.replace(tzinfo=datetime.timezone.utc)
    return moment.timestamp()


def listing(root):
    """(files, folders) of root, as relative paths with '/'."""
    files, folders = set(), set()
    for folder, _, names in os.walk(root):
        rel = os.path.relpath(folder, root).replace(os.sep, '/')
        prefix = '' if rel == '.' else rel + '/'
        if rel != '.':
            folders.add(rel)
        files.update(prefix + name for name in names)
    return files, folders


def prepare(scenario, tree):
    """Copies input/ to tree, recreates its empty folders and sets file times."""
    shutil.copytree(os.path.join(scenario, 'input'), tree, symlinks=True)
    dirs = read_json(os.path.join(scenario, 'dirs.json'), {})
    for folder in dirs.get('input', []):
        os.makedirs(os.path.join(tree, folder), exist_ok=True)
    script = read_json(os.path.join(tree, 'script.json'), {})
    now = epoch(script.get('now') or '2026-01-01T00:00:00')
    times = read_json(os.path.join(scenario, 'mtimes.json'), {})
    for rel in listing(tree)[0]:
        stamp = epoch(times[rel]) if rel in times else now
        os.utime(os.path.join(tree, rel), (stamp, stamp))


def shown(record, is_text):
    """A record as printed: UTF-8 for the transcript, else Latin-1 with
    control bytes as \\xNN."""
    if is_text:
        return record.decode('utf-8', 'replace')
    return ''.join(c if 32 <= ord(c) < 127 or ord(c) >= 160 else '\\x%02x' % ord(c)
                   for c in record.decode('latin-1'))


def first_difference(rel, actual, expected):
    """Lines describing the first differing record of one file."""
    is_text = rel == 'transcript.txt'
    got, want = actual.split(b'\n'), expected.split(b'\n')
    for i in range(max(len(got), len(want))):
        a = got[i] if i < len(got) else None
        e = want[i] if i < len(want) else None
        if a == e:
            continue
        lines = ['  %s: first difference in record %d (line %d)' % (rel, i + 1, i + 1)]
        lines.append('    expected: ' + ('<no record>' if e is None else shown(e, is_text)))
        lines.append('    actual  : ' + ('<no record>' if a is None else shown(a, is_text)))
        if a is not None and e is not None:
            col = 0
            while col < min(len(a), len(e)) and a[col] == e[col]:
                col += 1
            indent = ' ' * (len('    actual  : ') + len(shown(a[:col], is_text)))
            lines.append(indent + '^ column %d (from 0)' % col)
            if len(a) != len(e):
                lines.append('    lengths: expected %d, actual %d' % (len(e), len(a)))
        return lines
    return ['  %s: differs (size %d expected, %d actual)' % (rel, len(expected), len(actual))]


def differences(scenario, tree, exit_code):
    expected_root = os.path.join(scenario, 'expected')
    got_files, got_folders = listing(tree)
    want_files, want_folders = listing(expected_root)
    want_folders |= set(read_json(os.path.join(scenario, 'dirs.json'), {}).get('expected', []))
    lines = []
    if exit_code != 0:
        lines.append('  runner exit code %d' % exit_code)
    lines += ['  missing file: ' + f for f in sorted(want_files - got_files)]
    lines += ['  unexpected file: ' + f for f in sorted(got_files - want_files)]
    lines += ['  missing folder: ' + d for d in sorted(want_folders - got_folders)]
    lines += ['  unexpected folder: ' + d for d in sorted(got_folders - want_folders)]
    for rel in sorted(got_files & want_files):
        with open(os.path.join(tree, rel), 'rb') as f:
            actual = f.read()
        with open(os.path.join(expected_root, rel), 'rb') as f:
            expected = f.read()
        if actual != expected:
            lines += first_difference(rel, actual, expected)
    return lines


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    scenario, runner = os.path.normpath(argv[1]), shlex.split(argv[2])
    name = os.path.basename(scenario)
    if not (os.path.isdir(os.path.join(scenario, 'input'))
            and os.path.isdir(os.path.join(scenario, 'expected'))):
        print('FAIL %s\n  no input/ or expected/ in %s' % (name, scenario))
        return 1
    with tempfile.TemporaryDirectory() as work:
        tree = os.path.join(work, 'root')
        prepare(scenario, tree)
        run = subprocess.run(runner + [tree], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        lines = differences(scenario, tree, run.returncode)
    if not lines:
        print('PASS ' + name)
        return 0
    print('FAIL ' + name)
    print('\n'.join(lines[:MAX_LINES]))
    output = run.stdout.decode('utf-8', 'replace').splitlines()[:RUNNER_LINES]
    if output:
        print('  runner output (first lines):')
        print('\n'.join('    ' + line for line in output))
    return 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
