#!/usr/bin/env python3
"""Mutation runner: how many small faults in the core do the tests catch?

Makes one mutant at a time in the given sources (a comparison flipped or
moved by one, a `+ 1` dropped, a condition negated, an error returned as
success, a sync or rename of the file layer skipped), rebuilds the test
program incrementally (one object and the link), runs it with a time limit
and prints each mutant's fate, then the killed/survived count and the places
of the survivors. The source file is always put back, Ctrl-C included.

  tools/mutate.py --list                        # the sample
  tools/mutate.py --keep-objects build-mutate/kept > before.log
  tools/mutate.py --keep-objects build-mutate/kept --rerun-killed before.log

Mutants are written into the sources of the build folder: edit nothing
there while it runs (or build from a copy, --source).
"""
import argparse
import atexit
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
CORE_FOLDERS = ("base/", "config/", "aircraft/", "packages/", "app/")
FILE_LAYER_CALLS = ("sync", "sync_folder", "rename_over", "rename_new")
BACKUP_SUFFIX = ".mutate-original"


def mask_text(text):
    """The text with comments, string and character literals and preprocessor
    lines blanked, offsets unchanged: mutants are only looked for in code."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = text.find("\n", i)
            j = n if j < 0 else j
            for k in range(i, j):
                out[k] = " "
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            j += 1
        else:
            i += 1
            continue
        for k in range(i, min(j, n)):
            if out[k] != "\n":
                out[k] = " "
        i = j
    return "".join(out)


def closing_paren(masked, open_at):
    depth = 0
    for k in range(open_at, len(masked)):
        if masked[k] == "(":
            depth += 1
        elif masked[k] == ")":
            depth -= 1
            if depth == 0:
                return k
    return -1


COMPARISON_FLIP = {"==": "!=", "!=": "==", "<": ">=", ">": "<=", "<=": ">", ">=": "<"}
COMPARISON_BOUNDARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}


def mutants_of(path, text):
    """Every mutant of one file: (start, end, replacement, operator)."""
    masked = mask_text(text)
    found = []
    for m in re.finditer(r"(?<= )(==|!=|<=|>=|<|>)(?= )", masked):
        op = m.group(1)
        found.append((m.start(), m.end(), COMPARISON_FLIP[op], "flip"))
        if op in COMPARISON_BOUNDARY:
            found.append((m.start(), m.end(), COMPARISON_BOUNDARY[op], "boundary"))
    for m in re.finditer(r" \+ 1\b(?!\.)", masked):
        found.append((m.start(), m.end(), "", "drop+1"))
    for m in re.finditer(r"\b(?:if|while) \(", masked):
        open_at = m.end() - 1
        close_at = closing_paren(masked, open_at)
        if close_at < 0:
            continue
        cond_at = open_at + 1
        semicolon = masked.rfind(";", cond_at, close_at)  # if (init; condition)
        if semicolon >= 0:
            cond_at = semicolon + 1
        cond = text[cond_at:close_at].strip()
        if not cond or " = " in masked[cond_at:close_at] and semicolon < 0:
            continue  # a declaration as condition: negating it does not compile
        start = cond_at + len(text[cond_at:close_at]) - len(text[cond_at:close_at].lstrip())
        found.append((start, close_at, f"!({cond})", "negate"))
    for m in re.finditer(r"\bPW_TRY\(", masked):
        close_at = closing_paren(masked, m.end() - 1)
        if close_at > 0:
            found.append((m.start(), close_at + 1, f"(void)({text[m.end():close_at]})", "error-as-success"))
    for m in re.finditer(r"\breturn ([^;]*?(?:make_error\(|\.error\(\)|\berror\b)[^;]*);", masked):
        found.append((m.start(1), m.end(1), "{}", "error-as-success"))
    calls = "|".join(FILE_LAYER_CALLS)
    for m in re.finditer(r"\b\w+(?:(?:\.|->)\w+)*(?:\.|->)(?:%s)\(" % calls, masked):
        close_at = closing_paren(masked, m.end() - 1)
        if close_at > 0:
            found.append((m.start(), close_at + 1, "::pw::Result<void>()", "skip-file-call"))
    return sorted(found)


def core_sources(build):
    """The core's .cpp files compiled into the test program (one library or
    one per layer), with their objects."""
    commands = json.loads((build / "compile_commands.json").read_text())
    sources = {}
    for c in commands:
        source = Path(c["file"]).resolve()
        obj = c.get("output") or re.search(r"-o (\S+)", c["command"]).group(1)
        if not re.search(r"paintwell_\w+\.dir", obj) or re.search(r"paintwell_(\w+_tests|test_support)\.dir", obj):
            continue
        sources[str(source)] = (Path(c["directory"]) / obj).resolve()
    return sources


def source_root_of(build):
    cache = (build / "CMakeCache.txt").read_text()
    return Path(re.search(r"^Paintwell_SOURCE_DIR:STATIC=(.*)$", cache, re.M).group(1))


def all_mutants(build, files):
    src = source_root_of(build)
    objects = core_sources(build)
    mutants = []
    for path in sorted(objects):
        rel = os.path.relpath(path, src)
        if not rel.startswith(CORE_FOLDERS) or (files and rel not in files):
            continue
        text = Path(path).read_text(encoding="latin-1")
        text_hash = hashlib.sha1(text.encode("latin-1")).hexdigest()
        for start, end, replacement, op in mutants_of(rel, text):
            line = text.count("\n", 0, start) + 1
            col = start - text.rfind("\n", 0, start)
            mutants.append({"file": rel, "line": line, "col": col, "op": op, "start": start,
                            "end": end, "was": text[start:end], "now": replacement, "text_hash": text_hash})
    return src, objects, mutants


def mutant_id(m):
    return f"{m['file']}:{m['line']}:{m['col']}:{m['op']}"


def mutant_key(m):
    """Names a mutant's object: its place and its text, so a changed source
    never reuses a stale object."""
    digest = hashlib.sha1(f"{m['text_hash']}|{m['start']}|{m['now']}".encode("latin-1")).hexdigest()[:12]
    return f"{mutant_id(m).replace('/', '_').replace(':', '_')}_{digest}"


class Restorer:
    """Puts one source file and its object back as they were, mtimes included,
    and drops the archive holding the object, so the next build links the
    original again without compiling it. (Ninja takes an object newer than
    the time it recorded for it as stale and compiles it again: an object
    copied into place must keep the old mtime.)"""

    def __init__(self, source, obj):
        self.source, self.obj = Path(source), Path(obj)
        self.backup = Path(str(self.source) + BACKUP_SUFFIX)
        self.obj_backup = Path(str(self.obj) + BACKUP_SUFFIX)

    def __enter__(self):
        shutil.copy2(self.source, self.backup)
        shutil.copy2(self.obj, self.obj_backup)
        return self

    def put_object(self, kept):
        """A mutant's object compiled before, in place of the original."""
        shutil.copyfile(kept, self.obj)
        shutil.copystat(self.obj_backup, self.obj)
        drop_archives(self.obj)

    def __exit__(self, *exc):
        shutil.copy2(self.backup, self.source)
        shutil.copy2(self.obj_backup, self.obj)
        drop_archives(self.obj)
        self.backup.unlink()
        self.obj_backup.unlink()
        return False


def drop_archives(obj):
    """The static library an object of `<build>/CMakeFiles/<lib>.dir/` goes into."""
    for part in obj.parents:
        if part.name.endswith(".dir") and part.parent.name == "CMakeFiles":
            archive = part.parent.parent / f"lib{part.name[:-len('.dir')]}.a"
            archive.unlink(missing_ok=True)
            return


def recover_backups(src, objects):
    """A run killed hard leaves its backups: put them back first."""
    for path in list(objects) + [str(o) for o in objects.values()]:
        backup = Path(path + BACKUP_SUFFIX)
        if backup.exists():
            shutil.copy2(backup, path)
            backup.unlink()
            drop_archives(Path(path))
            print(f"restored {path} from an interrupted run", file=sys.stderr)


def configure(source, build_dir):
    """Optimised a little, no debug information: one object builds in seconds."""
    subprocess.run(["cmake", "-G", "Ninja", "-S", str(source), "-B", str(build_dir),
                    "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1",
                    "-DPAINTWELL_GUI=OFF"], check=True, stdout=subprocess.DEVNULL)


def take_lock(build_dir):
    """One run per build folder: a second would restore the first's mutants."""
    lock = build_dir / "mutate.lock"
    try:
        holder = int(lock.read_text())
        os.kill(holder, 0)
        sys.exit(f"another run (process {holder}) uses {build_dir}")
    except (FileNotFoundError, ValueError, ProcessLookupError):
        pass
    lock.write_text(str(os.getpid()))
    atexit.register(lambda: lock.unlink(missing_ok=True))


def build(build_dir, target):
    done = subprocess.run(["ninja", "-C", str(build_dir), target], stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True)
    return done.returncode == 0, done.stdout


def run_tests(test_programs, timeout, fail_fast):
    """run_program over each test program (one per layer), stopping at the
    first that fails when fail_fast; the failed tests of all that ran."""
    fate, failed = "survived", []
    for program in test_programs:
        one_fate, one_failed = run_program(program, timeout, fail_fast)
        failed += one_failed
        if one_fate != "survived":
            fate = one_fate
            if fail_fast:
                break
    return fate, failed


def run_program(test_program, timeout, fail_fast):
    """The fate ('killed', 'timeout' or 'survived') and the failed tests. The
    temporary trees go to memory: on disk the suite's syncs take ten times as long."""
    command = [str(test_program), "--gtest_brief=1"] + (["--gtest_fail_fast"] if fail_fast else [])
    scratch = tempfile.mkdtemp(prefix="pw_mutate_", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    process = subprocess.Popen(command, cwd=test_program.parent, stdout=subprocess.PIPE,
                               env=dict(os.environ, TMPDIR=scratch),
                               stderr=subprocess.DEVNULL, text=True, errors="replace",
                               start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        return "timeout", []
    finally:
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        shutil.rmtree(scratch, ignore_errors=True)
    failed = sorted({line.split()[3].rstrip(",") for line in output.splitlines()
                     if line.startswith("[  FAILED  ] ") and not line.split()[3].isdigit()})
    if process.returncode < 0 and not failed:
        failed = [f"(crashed, signal {-process.returncode})"]
    return ("survived" if process.returncode == 0 else "killed"), failed


def killed_in(log):
    """Ids of the mutants a previous run's output reports as killed."""
    ids = set()
    for line in Path(log).read_text().splitlines():
        parts = line.split()
        if len(parts) >= 2 and parts[0] in ("killed", "timeout"):
            ids.add(parts[1])
    return ids


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("files", nargs="*", help="sources to mutate, relative to the source folder "
                        "(default: every core source of base/, config/, aircraft/, packages/, app/)")
    parser.add_argument("--build", type=Path, default=ROOT / "build-mutate",
                        help="build folder (configured from --source when new)")
    parser.add_argument("--source", type=Path, default=ROOT,
                        help="sources of a new build folder; mutants are made there")
    parser.add_argument("--target", default="paintwell_tests",
                        help="the target that builds the test programs, tests/paintwell_*_tests")
    parser.add_argument("--seed", type=int, default=20)
    parser.add_argument("--sample", type=int, default=200, help="0: every mutant")
    parser.add_argument("--timeout", type=float, default=0, help="seconds per test run (default: 4x a clean run)")
    parser.add_argument("--every-test", action="store_true",
                        help="run the whole suite on each mutant and name every test that fails")
    parser.add_argument("--list", action="store_true", help="print the sample, change nothing")
    parser.add_argument("--keep-objects", type=Path, metavar="DIR",
                        help="keep each mutant's object in DIR and reuse it: a later run only links")
    parser.add_argument("--rerun-killed", metavar="LOG", help="only the mutants LOG reports killed")
    return parser.parse_args()


def choose(mutants, args):
    """The seeded sample, in file order; only those a log reports killed when asked."""
    chosen = mutants if args.sample <= 0 or args.sample >= len(mutants) else \
        random.Random(args.seed).sample(mutants, args.sample)
    chosen.sort(key=lambda m: (m["file"], m["start"], m["op"]))
    if args.rerun_killed:
        wanted = killed_in(args.rerun_killed)
        chosen = [m for m in chosen if mutant_id(m) in wanted]
    return chosen


def time_limit(build_dir, test_programs, args):
    """Builds the clean program, checks its tests pass and gives the limit per run."""
    ok, output = build(build_dir, args.target)
    if not ok:
        sys.exit("the clean build fails:\n" + output)
    began = time.monotonic()
    if run_tests(test_programs, 3600, True)[0] != "survived":
        sys.exit("the tests fail on the clean code")
    clean = time.monotonic() - began
    timeout = args.timeout or max(4 * clean, clean + 10)
    print(f"# clean test run {clean:.1f}s, limit {timeout:.0f}s", flush=True)
    return timeout


def try_mutant(m, source, obj, build_dir, test_programs, timeout, args):
    """Builds and tests one mutant: its fate and the tests that failed."""
    kept = args.keep_objects / (mutant_key(m) + ".o") if args.keep_objects else None
    with Restorer(source, obj) as restorer:
        if kept and kept.exists():  # compiled by an earlier run: only the link is left
            restorer.put_object(kept)
        else:
            text = source.read_text(encoding="latin-1")
            source.write_text(text[:m["start"]] + m["now"] + text[m["end"]:], encoding="latin-1")
        ok, _ = build(build_dir, args.target)
        if ok and kept and not kept.exists():
            shutil.copyfile(obj, kept)
        return run_tests(test_programs, timeout, not args.every_test) if ok else ("stillborn", [])


def report(counts, survivors, minutes):
    live = counts["killed"] + counts["timeout"] + counts["survived"]
    print(f"# killed {counts['killed'] + counts['timeout']} (timeouts {counts['timeout']}), "
          f"survived {counts['survived']} of {live} built mutants; {counts['stillborn']} did not compile; "
          f"{minutes:.0f} min")
    for m in survivors:
        print(f"# survivor {mutant_id(m)}  {m['was']!r} -> {m['now']!r}")


def main():
    args = parse_arguments()
    signal.signal(signal.SIGTERM, lambda *_: (_ for _ in ()).throw(KeyboardInterrupt()))
    build_dir = args.build.resolve()
    if not (build_dir / "build.ninja").exists():
        configure(args.source.resolve(), build_dir)
    if args.keep_objects:
        args.keep_objects.mkdir(parents=True, exist_ok=True)
    if not args.list:
        take_lock(build_dir)
    src, objects, mutants = all_mutants(build_dir, set(args.files))
    chosen = choose(mutants, args)
    print(f"# {len(chosen)} of {len(mutants)} mutants, seed {args.seed}", flush=True)
    if args.list:
        for m in chosen:
            print(f"{mutant_id(m)}  {m['was']!r} -> {m['now']!r}")
        return 0
    recover_backups(src, objects)
    build(build_dir, args.target)
    test_programs = sorted((build_dir / "tests").glob("paintwell_*_tests"))
    timeout = time_limit(build_dir, test_programs, args)
    counts = {"killed": 0, "timeout": 0, "survived": 0, "stillborn": 0}
    survivors = []
    started = time.monotonic()
    try:
        for m in chosen:
            t0 = time.monotonic()
            source = src / m["file"]
            fate, failed = try_mutant(m, source, objects[str(source.resolve())], build_dir, test_programs, timeout, args)
            counts[fate] += 1
            if fate == "survived":
                survivors.append(m)
            print(f"{fate:9} {mutant_id(m)}  {m['was']!r} -> {m['now']!r}  {time.monotonic() - t0:.0f}s"
                  + (f"  by {' '.join(failed)}" if failed else ""), flush=True)
    except KeyboardInterrupt:
        print("# interrupted; the sources are back as they were", flush=True)
        return 130
    finally:
        build(build_dir, args.target)  # the program of the clean code again
    report(counts, survivors, (time.monotonic() - started) / 60)
    return 0


if __name__ == "__main__":
    sys.exit(main())
