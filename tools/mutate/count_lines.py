#!/usr/bin/env python3
"""Counts the code lines (non-blank, not only a comment) of the tracked .cpp
and .h files under src/ and tests/, and the tests' share of src's lines.

    tools/mutate/count_lines.py [--by-file]
"""
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def code_lines(text):
    count = 0
    in_block = False
    for line in text.splitlines():
        s = line.strip()
        if in_block:
            if '*/' not in s:
                continue
            s = s.split('*/', 1)[1].strip()
            in_block = False
        if not s or s.startswith('//'):
            continue
        if s.startswith('/*'):
            if '*/' not in s:
                in_block = True
                continue
            s = s.split('*/', 1)[1].strip()
            if not s or s.startswith('//'):
                continue
        count += 1
    return count


def files(folder):
    out = subprocess.run(['git', '-C', str(ROOT), 'ls-files', folder], capture_output=True, text=True,
                         check=True).stdout.split()
    return [f for f in out if f.endswith(('.cpp', '.h')) and (ROOT / f).exists()]


def main():
    counts = {}
    for folder in ('src', 'tests'):
        counts[folder] = {f: code_lines((ROOT / f).read_text(encoding='utf-8', errors='replace'))
                          for f in files(folder)}
    src = sum(counts['src'].values())
    tests = sum(counts['tests'].values())
    if '--by-file' in sys.argv:
        for f, n in sorted(counts['tests'].items(), key=lambda kv: -kv[1]):
            print(f'{n:6d}  {f}')
    print(f'src {src} lines, tests {tests} lines: tests are {100.0 * tests / src:.1f} % of src')


if __name__ == '__main__':
    main()
