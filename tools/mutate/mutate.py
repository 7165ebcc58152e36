#!/usr/bin/env python3
"""Mutation measure of the test suite: how many small faults in src/core the
tests catch.

Draws single-line mutations of src/core/**/*.cpp with a fixed seed (a changed
comparison, a removed '!', an off-by-one, a dropped call, && for ||, true for
false), applies each one alone to a source tree, rebuilds and runs the tests
one by one until the first failure. A mutation that does not compile is
recorded and the next one is drawn from the same stream, so the count that
compiled is the one asked for.

The tree is modified in place and restored after each mutation: give it a
copy of the sources, never a working tree you edit. Configure its build once,
without the unity build so a mutation recompiles one file, and without
optimisation, which costs the tests less than it saves the builds:

    git archive HEAD | tar -x -C /tmp/mut
    cmake -S /tmp/mut -B /tmp/mut-build -G Ninja -DTESSARY_UNITY_BUILD=OFF \\
          -DCMAKE_BUILD_TYPE=Mutate -DCMAKE_CXX_FLAGS_MUTATE="-O0 -DNDEBUG" -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    tools/mutate/mutate.py --source /tmp/mut --build /tmp/mut-build --seed 34 --count 40 --out results.tsv

Only the core's tests: --label core. To measure a pruned suite beside the
old one in the same run (one build per mutation), copy the pruned core test
files to <tree>/tests-after/core/..., append
    set(AFTER_SUITE_DIR <tree>/tests-after)
    include(<repo>/tools/mutate/after-suite.cmake)
to <tree>/tests/CMakeLists.txt, and pass --after-prefix after_ --dropped
<tests the pruned suite no longer has>. A test shared by both runs once.

--replay results.tsv runs the mutations of an earlier result again, each
on the nearest line that still reads as it did (one that no longer exists
is recorded as gone; --replay-from <tree it was drawn on> matches the
lines through a diff instead); --only-caught limits that to the ones caught before.
"""
import argparse
import difflib
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

# Tests that check the package rather than the code; they take minutes.
SKIPPED_TESTS = {'install_layout'}


def mask(line):
    """The line with string and character literals and // comments blanked,
    so operators are only found in code."""
    out = []
    i = 0
    quote = None
    while i < len(line):
        c = line[i]
        if quote:
            if c == '\\':
                out.append('  ')
                i += 2
                continue
            if c == quote:
                quote = None
                out.append(c)
            else:
                out.append(' ')
        elif c in '"\'':
            # 1'000 digit separators are not quotes.
            if c == "'" and i > 0 and line[i - 1].isdigit() and i + 1 < len(line) and line[i + 1].isdigit():
                out.append(c)
            else:
                quote = c
                out.append(c)
        elif line.startswith('//', i):
            out.append(' ' * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return ''.join(out)[:len(line)]


# Each operator: name, pattern found in the masked line, replacement function.
def _swap(mapping):
    return lambda m: mapping[m.group(0)]


OPERATORS = [
    ('comparison', re.compile(r'(?<=\s)(==|!=|<=|>=|<|>)(?=\s)'),
     _swap({'==': '!=', '!=': '==', '<=': '<', '>=': '>', '<': '<=', '>': '>='})),
    ('negation', re.compile(r'!(?=[A-Za-z_(])'), lambda m: ''),
    ('off-by-one', re.compile(r'(?<![\w.])\d+(?![\w.\'])'), lambda m: str(int(m.group(0)) + 1)),
    ('logical', re.compile(r'(?<=\s)(&&|\|\|)(?=\s)'), _swap({'&&': '||', '||': '&&'})),
    ('boolean', re.compile(r'\b(true|false)\b'), _swap({'true': 'false', 'false': 'true'})),
    # A statement that is a call alone: foo(...); obj.bar(...); p->baz(...);
    ('dropped call', re.compile(r'^\s*(?:[A-Za-z_][\w:]*(?:\.|->))*[A-Za-z_][\w:]*\(.*\);\s*$'), None),
]

NOT_A_CALL = re.compile(r'^\s*(return|if|while|for|switch|case|delete|throw|emit|Q_\w+|[A-Z_]+\()\b')


def candidates(source):
    """Every (file, line number, operator, occurrence) that can be mutated."""
    found = []
    for path in sorted((source / 'src' / 'core').rglob('*.cpp')):
        rel = path.relative_to(source).as_posix()
        in_block = False
        for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
            stripped = line.strip()
            if in_block:
                in_block = '*/' not in stripped
                continue
            if stripped.startswith('/*'):
                in_block = '*/' not in stripped
                continue
            if not stripped or stripped.startswith(('#', '//')) or 'static_assert' in stripped:
                continue
            masked = mask(line)
            for name, pattern, _ in OPERATORS:
                if name == 'dropped call':
                    if pattern.match(masked) and not NOT_A_CALL.match(masked) \
                            and masked.count('(') == masked.count(')') and '=' not in masked.split('(')[0]:
                        found.append((rel, number, name, 0))
                    continue
                for k, _m in enumerate(pattern.finditer(masked)):
                    found.append((rel, number, name, k))
    return found


def apply(line, name, occurrence):
    masked = mask(line)
    for op, pattern, replace in OPERATORS:
        if op != name:
            continue
        if name == 'dropped call':
            indent = line[:len(line) - len(line.lstrip())]
            return indent + ';'
        m = list(pattern.finditer(masked))[occurrence]
        return line[:m.start()] + replace(m) + line[m.end():]
    raise ValueError(name)


def draw(source, seed):
    """The stream of mutations: an operator at random, then one of its places."""
    rng = random.Random(seed)
    by_operator = {}
    for c in candidates(source):
        by_operator.setdefault(c[2], []).append(c)
    names = sorted(by_operator)
    used = set()
    while True:
        name = rng.choice(names)
        c = rng.choice(by_operator[name])
        if c in used:
            continue
        used.add(c)
        yield c


def run(cmd, timeout=None, cwd=None):
    try:
        p = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, timeout=timeout)
        return p.returncode, p.stdout + p.stderr
    except subprocess.TimeoutExpired as e:
        return 'timeout', str(e.stdout or '')


class Suite:
    """The tests a build can run, as one or two suites: "before" and, with an
    after prefix, "after" (a test named <prefix><name> stands in for <name>,
    a dropped test is left out, the others are shared)."""

    def __init__(self, build, source, label=None, after_prefix=None, dropped=()):
        self.build = build
        self.source = source
        listing = json.loads(subprocess.run(['ctest', '--test-dir', str(build), '--show-only=json-v1'],
                                            capture_output=True, text=True, check=True).stdout)
        tests = {}
        for t in listing['tests']:
            if t['name'] in SKIPPED_TESTS:
                continue
            labels = next((p['value'] for p in t.get('properties', []) if p['name'] == 'LABELS'), [])
            if label and label not in labels:
                continue
            # A program not built yet has no command in the listing.
            command = t.get('command') or [str(build / 'tests' / t['name'])]
            exe = next((a for a in command if 'tst_' in os.path.basename(a)), command[0])
            tests[t['name']] = {'name': t['name'], 'target': os.path.basename(exe), 'exe': exe,
                                'core': 'core' in labels}
        self.all = list(tests.values())
        before = [t for n, t in tests.items() if not (after_prefix and n.startswith(after_prefix))]
        self.suites = {'before': before}
        if after_prefix:
            self.suites['after'] = [tests.get(after_prefix + t['name'], t) for t in before
                                    if t['name'] not in dropped]
        self.prefix = after_prefix or '\0'
        self.folder = {}
        for t in self.all:
            base = t['name'].split('_xcb')[0].removeprefix(self.prefix)
            hits = list(source.glob('tests/**/' + base + '.cpp'))
            self.folder[t['name']] = hits[0].parent.relative_to(source).as_posix() if hits else ''
        self.seconds = {}

    def order(self, suite, mutated):
        """Tests of the mutated file first, then its subsystem's, the other core
        tests, then the windows'."""
        parts = Path(mutated).parts  # src core <subsystem> File.cpp
        subsystem, stem = parts[2], Path(mutated).stem

        def rank(t):
            folder = self.folder[t['name']]
            return (0 if stem in t['name'] else 1,
                    0 if folder == 'tests/core/' + subsystem else 1,
                    0 if t['core'] else 1,
                    self.seconds.get(t['name'], 0))
        return sorted(self.suites[suite], key=rank)

    def build_target(self, target):
        return run(['ninja', '-C', str(self.build), target])

    def find_links(self):
        """Which core objects each test program holds: a mutation of an object a
        program does not hold cannot change what it does. The programs of the
        build a test runs (helpers, the catalogue compiler) count as its own."""
        def symbols(path, strong_only):
            out = subprocess.run(['nm', '--defined-only', '-g' if strong_only else '-a', path],
                                 capture_output=True, text=True).stdout
            return {f[2] for f in (line.split() for line in out.splitlines())
                    if len(f) == 3 and (f[1] == 'T' or not strong_only)}
        core = self.build / 'src' / 'core' / 'CMakeFiles' / 'tessary_core.dir'
        self.objects = {o.relative_to(core).as_posix()[:-2]: symbols(o, True) for o in core.rglob('*.cpp.o')}
        self.links = {}
        for t in self.all:
            exe = Path(t['exe'])
            deps = subprocess.run(['ninja', '-C', str(self.build), '-t', 'query',
                                   os.path.relpath(exe, self.build)], capture_output=True, text=True).stdout
            # The programs of the build a test runs count as its own.
            helpers = {'document_helper': 'tests/document_helper', 'datafolder_probe': 'tests/datafolder_probe',
                       'commands_dat': 'tools/tessary-catalogue'}
            programs = [exe] + [self.build / path for name, path in helpers.items() if name in deps]
            if 'editor_helper' in deps or not all(p.exists() for p in programs):
                self.links[t['name']] = None
                continue
            held = set().union(*(symbols(p, False) for p in programs))
            self.links[t['name']] = {rel for rel, syms in self.objects.items() if not syms or syms & held}

    def holds(self, test, rel):
        held = getattr(self, 'links', {}).get(test['name'])
        return held is None or Path(rel).relative_to('src/core').as_posix() in held

    def run_test(self, name):
        # The unmutated run has no time to go by yet.
        limit = max(60, 4 * self.seconds[name]) if name in self.seconds else 600
        start = time.monotonic()
        code, out = run(['ctest', '--test-dir', str(self.build), '-R', '^' + re.escape(name) + '$',
                         '--timeout', str(int(limit)), '--output-on-failure'], timeout=limit + 30)
        if code == 0 and 'No tests were found' in out:
            code = 'missing'
        return code, out, time.monotonic() - start


def object_of(build, rel):
    # src/core/x/File.cpp -> src/core/CMakeFiles/tessary_core.dir/x/File.cpp.o
    inner = Path(rel).relative_to('src/core').as_posix()
    return 'src/core/CMakeFiles/tessary_core.dir/' + inner + '.o'


def try_mutation(suite, source, mutation, log):
    """Applies the mutation, and for each suite runs its tests in order up to
    the first that fails. A test shared by both suites runs once."""
    rel, number, name, occurrence = mutation
    path = source / rel
    original = path.read_text(encoding='utf-8')
    lines = original.split('\n')
    before = lines[number - 1]
    after = apply(before, name, occurrence)
    lines[number - 1] = after
    path.write_text('\n'.join(lines), encoding='utf-8')
    record = {'file': rel, 'line': number, 'operator': name, 'before': before.strip(), 'after': after.strip()}
    seen = {}  # test name -> (failed, how)
    try:
        code, out = suite.build_target(object_of(suite.build, rel))
        if code != 0:
            record['outcome'] = {s: 'did not compile' for s in suite.suites}
            return record
        record['outcome'], record['by'] = {}, {}
        for which in suite.suites:
            record['outcome'][which] = 'survived'
            for t in suite.order(which, rel):
                if not suite.holds(t, rel):
                    continue
                if t['name'] not in seen:
                    code, out = suite.build_target(t['target'])
                    if code != 0:
                        seen[t['name']] = (True, 'build of ' + t['target'])
                    else:
                        code, out, seconds = suite.run_test(t['name'])
                        log.write(f"  {t['name']}: {code} {seconds:.1f}s\n")
                        log.flush()
                        failed = sorted(set(re.findall(r'FAIL!  : (\S+)', out)))[:3]
                        how = ' (timeout)' if 'Timeout' in out else (' ' + ' '.join(failed)) if failed else ''
                        seen[t['name']] = (code != 0, t['name'] + how)
                if seen[t['name']][0]:
                    record['outcome'][which] = 'caught'
                    record['by'][which] = seen[t['name']][1]
                    break
        return record
    finally:
        path.write_text(original, encoding='utf-8')


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('--source', type=Path, required=True)
    ap.add_argument('--build', type=Path, required=True)
    ap.add_argument('--seed', type=int, default=34)
    ap.add_argument('--count', type=int, default=40)
    ap.add_argument('--out', type=Path, required=True)
    ap.add_argument('--label', help='only the tests with this ctest label (core: the core\'s tests)')
    ap.add_argument('--after-prefix', help='a second suite: tests named PREFIX<name> stand in for <name>')
    ap.add_argument('--dropped', default='', help='with --after-prefix: tests, comma-separated, the second suite lacks')
    ap.add_argument('--replay', type=Path, help='run the mutations of an earlier result file')
    ap.add_argument('--replay-from', type=Path, help='with --replay: the source tree the earlier result was drawn on')
    ap.add_argument('--only-caught', action='store_true', help='with --replay: only those caught before')
    ap.add_argument('--list', action='store_true', help='print the first mutations of the stream and stop')
    ap.add_argument('--reuse-baseline', action='store_true', help='take the unmutated times of an earlier run')
    ap.add_argument('--resume', action='store_true', help='keep the results in --out and go on after them')
    args = ap.parse_args()
    source, build = args.source.resolve(), args.build.resolve()
    # Stopped, it still puts the mutated line back.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))

    if args.list:
        for i, m in zip(range(args.count), draw(source, args.seed)):
            print(m, apply((source / m[0]).read_text().split('\n')[m[1] - 1], m[2], m[3]).strip())
        return 0

    suite = Suite(build, source, args.label, args.after_prefix, set(filter(None, args.dropped.split(','))))
    log = open(str(args.out) + '.log', 'a')
    # An unmutated run first: everything must pass, and each test's time sets its timeout.
    baseline = Path(str(args.out) + '.baseline.json')
    if args.reuse_baseline and baseline.exists():
        suite.seconds = json.loads(baseline.read_text())
    for t in (t for t in suite.all if t['name'] not in suite.seconds):
        code, out = suite.build_target(t['target'])
        if code != 0:
            sys.exit('the unmutated tree does not build ' + t['target'] + '\n' + out[-3000:])
        code, out, seconds = suite.run_test(t['name'])
        suite.seconds[t['name']] = seconds
        log.write(f"baseline {t['name']}: {code} {seconds:.1f}s\n")
        log.flush()
        if code != 0:
            sys.exit('the unmutated tree fails ' + t['name'] + '\n' + out[-3000:])
        baseline.write_text(json.dumps(suite.seconds))
    suite.find_links()

    if args.replay:
        rows = [line.rstrip('\n').split('\t') for line in args.replay.read_text().splitlines()[1:]]
        stream = iter([(r[1], int(r[2]), r[3], None, r) for r in rows
                       if r[6] != 'did not compile' and (not args.only_caught or r[6] == 'caught')])
    else:
        stream = ((m[0], m[1], m[2], m[3], None) for m in draw(source, args.seed))

    names = list(suite.suites)
    done = []
    if args.resume and args.out.exists():
        done = [line for line in args.out.read_text().splitlines()[1:] if line]
    with open(args.out, 'w') as out:
        out.write('n\tfile\tline\toperator\tbefore\tafter\t'
                  + '\t'.join(f'outcome ({n})\tcaught by ({n})' for n in names) + '\n')
        for line in done:
            out.write(line + '\n')
        compiled = sum(1 for line in done if line.split('\t')[6] != 'did not compile')
        drawn = len(done)
        for _ in range(drawn):
            next(stream)
        for rel, number, name, occurrence, earlier in stream:
            if compiled >= args.count and not args.replay:
                break
            drawn += 1
            if earlier is not None:
                # Same line, same text after: the line where it is now (the
                # nearest that reads as it did, if lines moved), and the
                # occurrence that gives the same text after.
                found = _moved(source / rel, number, earlier[4], name, earlier[5],
                               args.replay_from / rel if args.replay_from else None)
                if found is None:
                    log.write(f'{drawn}: {rel}:{number} gone: no line reads "{earlier[4]}" any more\n')
                    out.write('\t'.join([str(drawn), rel, str(number), name, earlier[4], earlier[5]]
                                         + [x for n in names for x in ('gone', '')]) + '\n')
                    out.flush()
                    continue
                number, occurrence = found
            log.write(f'{drawn}: {rel}:{number} {name}\n')
            log.flush()
            r = try_mutation(suite, source, (rel, number, name, occurrence), log)
            if r['outcome'][names[0]] != 'did not compile':
                compiled += 1
            out.write('\t'.join([str(drawn), r['file'], str(r['line']), r['operator'], r['before'], r['after']]
                                 + [x for n in names for x in (r['outcome'][n], r.get('by', {}).get(n, ''))]) + '\n')
            out.flush()
            log.write(f"  -> {r['outcome']} {r.get('by', '')}\n")
            log.flush()
    return 0


def _moved(path, number, before, name, after, old_path=None):
    """(line number, occurrence) of the line that reads `before` and that the
    operator turns into `after`: with the file the mutation was drawn on, the
    same line matched through a diff of the two; else the nearest such line.
    None when there is none."""
    if not path.exists():
        return None
    lines = path.read_text(encoding='utf-8').split('\n')
    near = sorted(range(len(lines)), key=lambda i: abs(i + 1 - number))
    if old_path is not None:
        old = old_path.read_text(encoding='utf-8').split('\n') if old_path.exists() else []
        near = []
        for tag, i1, i2, j1, _ in difflib.SequenceMatcher(None, old, lines, autojunk=False).get_opcodes():
            if tag == 'equal' and i1 <= number - 1 < i2:
                near = [j1 + number - 1 - i1]
    for i in near:
        if lines[i].strip() != before:
            continue
        k = next((k for k in range(50) if _applies(lines[i], name, k, after)), None)
        if k is not None:
            return i + 1, k
    return None


def _applies(line, name, k, expected):
    try:
        return apply(line, name, k).strip() == expected
    except (IndexError, ValueError):
        return False


if __name__ == '__main__':
    sys.exit(main())
