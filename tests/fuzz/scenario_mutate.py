#!/usr/bin/env python3
"""Mutation fuzzer for scripted import runs.

Copies the input of a seed scenario to a fresh folder, damages one to four
of the files the run reads (supplier files under import/, layouts and
settings under config/ and data/), runs the scenario runner on it and sorts
the outcome: sanitizer report, death by signal, timeout, an exception that
ended the run ("the run failed"), or normal.  Every
non-normal case is kept under OUT/NNNNN-KIND/ with the mutated input
(input/), the runner's stderr (stderr.txt) and a one-line description
(what.txt).

    tests/fuzz/scenario_mutate.py --runner build-asan/quervane-scenario \\
        [-n 1000] [--seed 1] [--timeout 20] [--out fuzz-out] [SEED_DIR ...]

SEED_DIR is a scenario folder (script.json, config/, ...) or a folder that
holds one as input/.  Without SEED_DIR the project's conversion and
prepared-base scenarios below are used.  Exit status 1 when a non-normal case was found.  Unless
ASAN_OPTIONS is set, the runner gets max_allocation_size_mb=1024, so that an
allocation of gigabytes is a sanitizer report rather than a slow timeout.
"""
import argparse, os, random, re, shutil, signal, subprocess, sys, tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DEFAULT_SEEDS = [
    "tests/scenarios/conv_txt_editions_routes/input",
    "tests/scenarios/conv_sit_presort_vehicles/input",
    "tests/scenarios/conv_template_presort/input",
    "tests/scenarios/conv_two_titles_title_returns/input",
    "tests/scenarios/conv_bag_slot_undefined/input",
    "tests/scenarios/conv_nine_feeder_flags/input",
    "tests/scenarios/prepared_full/input",
    "tests/scenarios/prepared_bundle_returns/input",
    "tests/scenarios/prepared_missing_bags/input",
    "tests/scenarios/prepared_label_descriptor/input",
]
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer")
BOUNDARY = [b"0", b"-1", b"1", b"9", b"10", b"11", b"99999", b"2147483647",
            b"-2147483648", b"", b"ABC"]
NUMBER = re.compile(rb"-?\d+")


def is_layout(rel):
    """Configuration and layout files, whose numbers steer the parsing."""
    return rel.split("/")[0].lower() in ("config", "data")


def lines_of(data):
    return data.splitlines(keepends=True) or [b""]


def m_flip(d, r, rel):
    if not d: return d + b"x", "append byte to empty file"
    i = r.randrange(len(d))
    return d[:i] + bytes([d[i] ^ (1 << r.randrange(8))]) + d[i + 1:], "flip bit at %d" % i

def m_insert_bytes(d, r, rel):
    i, n = r.randint(0, len(d)), r.choice([1, 1, 4, 300])
    b = bytes([r.choice([0, 0, r.randint(0x80, 0xFF), r.randrange(256)])])
    return d[:i] + b * n + d[i:], "insert %d x %r at %d" % (n, b, i)

def m_delete(d, r, rel):
    if not d: return d, "delete nothing"
    i = r.randrange(len(d))
    n = r.randint(1, min(8, len(d) - i))
    return d[:i] + d[i + n:], "delete %d bytes at %d" % (n, i)

def m_cr_only(d, r, rel):
    return d.replace(b"\r\n", b"\r").replace(b"\n", b"\r"), "line ends CR only"

def m_no_line_ends(d, r, rel):
    return d.replace(b"\r", b"").replace(b"\n", b""), "line ends removed"

def m_truncate(d, r, rel):
    n = r.randint(0, len(d))
    return d[:n], "truncate to %d bytes" % n

def m_dup_line(d, r, rel):
    ls = lines_of(d)
    i = r.randrange(len(ls))
    ls[i:i] = [ls[i]] * r.choice([1, 1, 50])
    return b"".join(ls), "duplicate line %d" % i

def m_long_line(d, r, rel):
    ls = lines_of(d)
    i = r.randrange(len(ls))
    n = r.choice([255, 256, 1024, 4097, 20000])
    body = ls[i].rstrip(b"\r\n")
    end = ls[i][len(body):]
    ls[i] = (body + r.choice([b" ", b"9", b"A", b"\xe9"]) * n)[:n] + end
    return b"".join(ls), "line %d made %d bytes long" % (i, n)

def m_swap_lines(d, r, rel):
    ls = lines_of(d)
    i, j = r.randrange(len(ls)), r.randrange(len(ls))
    ls[i], ls[j] = ls[j], ls[i]
    return b"".join(ls), "swap lines %d and %d" % (i, j)

def m_number(d, r, rel):
    found = list(NUMBER.finditer(d))
    if not found: return m_flip(d, r, rel)
    m, v = r.choice(found), r.choice(BOUNDARY)
    return d[:m.start()] + v + d[m.end():], "number at %d (%s) -> %r" % (m.start(), m.group().decode(), v)

MUTATORS = [m_flip, m_insert_bytes, m_delete, m_cr_only, m_no_line_ends, m_truncate,
            m_dup_line, m_long_line, m_swap_lines]


def targets(root):
    """Files of the scenario the run reads (everything but script.json)."""
    out = []
    for base, _, files in os.walk(root):
        for f in files:
            rel = os.path.relpath(os.path.join(base, f), root).replace(os.sep, "/")
            if rel != "script.json" and not rel.startswith(("work/", "TEMP/")):
                out.append(rel)
    return sorted(out)


def prepare(seed, dest):
    shutil.copytree(seed, dest)
    for base, dirs, files in os.walk(dest):
        for n in dirs + files:
            p = os.path.join(base, n)
            os.chmod(p, os.stat(p).st_mode | 0o600 | (0o100 if n in dirs else 0))
    os.makedirs(os.path.join(dest, "work"), exist_ok=True)   # git drops empty folders


def mutate(root, r):
    """Applies 1-4 mutations; returns their descriptions."""
    files, done = targets(root), []
    for _ in range(r.randint(1, 4)):
        rel = r.choice(files)
        path = os.path.join(root, rel)
        with open(path, "rb") as f: data = f.read()
        fn = m_number if r.random() < (0.5 if is_layout(rel) else 0.1) else r.choice(MUTATORS)
        data, what = fn(data, r, rel)
        with open(path, "wb") as f: f.write(data)
        done.append("%s: %s" % (rel, what))
    return done


def run(runner, root, timeout):
    """Returns (kind, stderr), kind one of sanitizer/signal/timeout/exception/normal."""
    # A huge allocation is reported at once rather than ending as a timeout.
    env = dict(os.environ)
    env.setdefault("ASAN_OPTIONS", "max_allocation_size_mb=1024")
    p = subprocess.Popen(runner + [root], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                         start_new_session=True, env=env)
    try:
        _, err = p.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        _, err = p.communicate()
        return "timeout", err
    if any(m.encode() in err for m in SANITIZER_MARKS):
        return "sanitizer", err
    if p.returncode < 0:
        return "signal", err + b"\nkilled by signal %d\n" % -p.returncode
    if p.returncode == 1 and b"the run failed" in err:
        return "exception", err
    return "normal", err


def seed_input(path):
    inner = os.path.join(path, "input")
    return inner if not os.path.exists(os.path.join(path, "script.json")) and os.path.isdir(inner) else path


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("seeds", nargs="*", help="seed scenario folders")
    ap.add_argument("--runner", required=True, help="scenario runner (may hold arguments)")
    ap.add_argument("-n", "--iterations", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1, help="random seed")
    ap.add_argument("--timeout", type=float, default=20.0, help="seconds per run")
    ap.add_argument("--out", default="fuzz-out", help="where non-normal cases are kept")
    a = ap.parse_args()
    seeds = [seed_input(s) for s in a.seeds] or [os.path.join(ROOT, s) for s in DEFAULT_SEEDS]
    for s in seeds:
        if not os.path.isfile(os.path.join(s, "script.json")):
            sys.exit("not a scenario folder: %s" % s)
    r, count = random.Random(a.seed), dict.fromkeys(
        ("sanitizer", "signal", "timeout", "exception", "normal"), 0)
    os.makedirs(a.out, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="scenario-fuzz-")
    try:
        for i in range(a.iterations):
            seed = r.choice(seeds)
            pristine, root = os.path.join(scratch, "pristine"), os.path.join(scratch, "run")
            shutil.rmtree(scratch, ignore_errors=True)
            os.makedirs(scratch)
            prepare(seed, pristine)
            done = mutate(pristine, r)
            shutil.copytree(pristine, root)
            kind, err = run(a.runner.split(), root, a.timeout)
            count[kind] += 1
            if kind != "normal":
                keep = os.path.join(a.out, "%05d-%s" % (i, kind))
                shutil.rmtree(keep, ignore_errors=True)
                shutil.copytree(pristine, os.path.join(keep, "input"))
                with open(os.path.join(keep, "stderr.txt"), "wb") as f: f.write(err)
                line = "%s from %s after %s" % (kind, seed, "; ".join(done))
                with open(os.path.join(keep, "what.txt"), "w") as f: f.write(line + "\n")
                print("%05d %s" % (i, line), flush=True)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print("%d runs, %d sanitizer, %d signal, %d timeout, %d exception"
          % (a.iterations, count["sanitizer"], count["signal"], count["timeout"], count["exception"]))
    return 1 if a.iterations - count["normal"] else 0


if __name__ == "__main__":
    sys.exit(main())
