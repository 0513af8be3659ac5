#!/usr/bin/python3
"""The asset generator makes the same files, byte for byte, as the one that made the bundled game.

    tests/tools/make_assets_test.py

asset_digests.txt beside this file holds the SHA-256 of every file the generator wrote before it
was split by kind; a whole run into a fresh folder must give exactly those files with exactly
those digests, and the bundled game must hold them as made. A family named alone makes only its
own files, and an unknown family is refused. Exit 77 (skipped) where the generator's packages
are missing.
"""
import hashlib
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
GENERATOR = os.path.join(ROOT, 'tools', 'make_assets.py')
PYTHON = '/usr/bin/python3'


def digests(folder):
    found = {}
    for top, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(top, name)
            with open(path, 'rb') as f:
                found[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return found


def expected():
    table = {}
    with open(os.path.join(HERE, 'asset_digests.txt')) as lines:
        for line in lines:
            digest, path = line.split()
            table[path] = digest
    return table


def run(*args):
    return subprocess.run([PYTHON, GENERATOR, *args], capture_output=True, text=True, timeout=900)


def main():
    missing = [m for m in ('numpy', 'PIL') if importlib.util.find_spec(m) is None]
    if missing or not shutil.which('oggenc') or not shutil.which('fc-match'):
        print('skipped: the generator needs python3-numpy, python3-pil, vorbis-tools and fontconfig')
        return 77
    failures = []
    want = expected()
    work = tempfile.mkdtemp(prefix='tessarc-assets-')
    try:
        whole = os.path.join(work, 'whole')
        done = run('--out', whole)
        if done.returncode != 0:
            print(done.stderr)
            failures.append('the whole run failed')
        got = digests(whole)
        for path in sorted(set(want) | set(got)):
            if want.get(path) != got.get(path):
                failures.append('%s: made %s, expected %s' % (path, got.get(path, 'nothing'),
                                                              want.get(path, 'nothing')))
        bundled = digests(os.path.join(ROOT, 'game'))
        for path in sorted(want):
            if bundled.get(path) != want[path]:
                failures.append('game/%s is not the file the generator makes' % path)

        # One family alone: the message frame, nothing else.
        alone = os.path.join(work, 'alone')
        run('--out', alone, 'message_frame')
        if sorted(digests(alone).items()) != [('system/picture/text.png',
                                               want['system/picture/text.png'])]:
            failures.append('message_frame alone does not make just system/picture/text.png')
        refused = run('--out', alone, 'no_such_family')
        if refused.returncode != 2 or 'no_such_family' not in refused.stderr:
            failures.append('an unknown family is not refused by name')
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print('FAIL ' + failure)
    if not failures:
        print('all %d generated files are as made before the split' % len(want))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
