#!/usr/bin/python3
"""The packages for players, each unpacked into a fresh folder and started as a player would.

    tests/dist/dist_test.py --dist dist --name game --replay build/tessarc-replay

1. NAME-linux-x86_64.tar.gz, unpacked into a folder whose path has a space and Japanese in it,
   started with ./play from elsewhere, on a private Xvfb, with a font configuration that has no
   Japanese font at all: the title shows, a click starts the game, its first page reads as the
   native replay's, the program runs on the package's own SDL libraries and fonts, the settings
   are kept in the package's game/save/, and Escape ends it with status 0.
2. NAME-web.zip, unzipped into a fresh folder with index.html at its root, served and opened in
   headless Chromium: the title shows and the first page reads as natively; the faces weigh
   under 1.5 MB and at most 3 MiB is transferred before the title.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tarfile
import tempfile
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'web'))
from browser import Browser, serve  # noqa: E402

FONT_BUDGET = 1.5e6
BEFORE_TITLE_BUDGET = 3 * 1024 * 1024
failures = []
passed = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what)
    (passed if ok else failures).append(what)
    return ok


def eventually(what, seconds=30, step=0.1):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = what()
        if value:
            return value
        time.sleep(step)
    return None


def native_first_page(replay, work):
    game = os.path.join(work, 'native-game')
    shutil.copytree(os.path.join(ROOT, 'game'), game, ignore=shutil.ignore_patterns('save'))
    trace = os.path.join(work, 'native.jsonl')
    subprocess.run([replay, '--dir', game, '--trace', trace, '-'], input=b'click 410 372\nwait 500\n',
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    with open(trace, encoding='utf-8') as lines:
        events = [json.loads(line) for line in lines if line.strip()]
    return [s['text'] for s in next(e for e in events if e['ev'] == 'page')['segments']]


def read_trace(path):
    try:
        with open(path, encoding='utf-8') as lines:
            return [json.loads(line) for line in lines if line.strip().endswith('}')]
    except OSError:
        return []


# ---- The desktop package ----------------------------------------------------------------------

def latin_only_fonts(work):
    """A font configuration with the DejaVu faces only: a machine without Japanese fonts."""
    conf = os.path.join(work, 'latin-fonts.conf')
    with open(conf, 'w') as out:
        out.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">\n'
                  '<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>'
                  '<cachedir>%s</cachedir></fontconfig>\n' % os.path.join(work, 'fc-cache'))
    return conf


def xdotool(*args, env):
    return subprocess.run(['xdotool', *args], env=env, capture_output=True, text=True).stdout


def test_desktop(archive, name, first_page, work):
    for tool in ('Xvfb', 'xdotool', 'fc-list'):
        if not shutil.which(tool):
            check(False, 'the desktop package needs %s to be tested' % tool)
            return
    folder = os.path.join(work, 'ダウンロード 先')
    os.makedirs(folder)
    with tarfile.open(archive) as tar:
        tops = {member.name.split('/')[0] for member in tar.getmembers()}
        tar.extractall(folder)
    check(tops == {name}, 'the desktop package is one folder, %s/ (%s)' % (name, sorted(tops)))
    here = os.path.join(folder, name)
    for part in ('play', 'bin/tessarc', 'game/script/start.txt', 'fonts/ipag.ttf',
                 'fonts/ipam.ttf', 'fonts/IPA-LICENSE.txt', 'lib/libSDL-1.2.so.0',
                 'lib/libSDL2-2.0.so.0', 'lib/libSDL_mixer-1.2.so.0'):
        check(os.path.exists(os.path.join(here, part)), 'the package holds ' + part)
    check(not os.path.exists(os.path.join(here, 'game', 'save')), 'the package holds no saves')

    conf = latin_only_fonts(work)
    home = os.path.join(work, 'home')
    os.makedirs(home)
    env = {'PATH': os.environ.get('PATH', '/usr/bin:/bin'), 'HOME': home, 'FONTCONFIG_FILE': conf,
           'SDL_AUDIODRIVER': 'dummy', 'TMPDIR': work,
           'TESSARC_TRACE': os.path.join(work, 'desktop.jsonl')}
    japanese = subprocess.run(['fc-list', ':lang=ja'], env=env, capture_output=True, text=True)
    check(japanese.stdout.strip() == '', 'the test\'s font configuration has no Japanese font')

    xvfb = subprocess.Popen(['Xvfb', '-displayfd', '1', '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    game = None
    try:
        display = xvfb.stdout.readline().decode().strip()
        if not check(display != '', 'a private Xvfb starts'):
            return
        env['DISPLAY'] = ':' + display
        # Started from another folder, as a file manager would.
        game = subprocess.Popen([os.path.join(here, 'play')], cwd=work, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        window = eventually(lambda: xdotool('search', '--classname', 'tessarc', env=env).split(), 30)
        title = eventually(lambda: any(e['ev'] == 'music' for e in read_trace(env['TESSARC_TRACE'])), 30)
        if not check(bool(window and title), 'the game\'s window opens on the title'):
            return
        window = window[-1]
        time.sleep(1)
        xdotool('mousemove', '--window', window, '410', '372', env=env)
        time.sleep(0.3)
        xdotool('mousedown', '1', env=env)
        time.sleep(0.1)
        xdotool('mouseup', '1', env=env)
        page = eventually(lambda: next((e for e in read_trace(env['TESSARC_TRACE'])
                                        if e['ev'] == 'page'), None), 30)
        texts = [s['text'] for s in page['segments']] if page else []
        check(texts == first_page, 'a click starts the game; its first page reads as natively: '
              + ' / '.join(texts))
        for part in ('lib/libSDL-1.2.so.0', 'lib/libSDL2-2.0.so.0', 'fonts/ipag.ttf'):
            check(os.path.join(here, part) in files_open(find_game(game.pid)),
                  'the game uses the package\'s ' + part)
        xdotool('key', '--window', window, 'F3', env=env)
        settings = os.path.join(here, 'game', 'save', 'settings')
        kept = eventually(lambda: os.path.exists(settings) and 'music 9' in open(settings).read(), 10)
        check(bool(kept), 'the settings are kept beside the game, in game/save/settings')
        for _ in range(10):
            xdotool('windowfocus', window, env=env)
            xdotool('key', 'Escape', env=env)
            if eventually(lambda: game.poll() is not None, 2):
                break
        status = game.wait(timeout=10)
        check(status == 0, 'Escape ends the game with status 0 (%s)' % status)
        errors = game.stderr.read().decode(errors='replace').strip()
        check('フォント' not in errors, 'no font error: ' + (errors[:200] or 'nothing on stderr'))
        game = None
    finally:
        if game and game.poll() is None:
            game.kill()
        xvfb.kill()


def files_open(pid):
    """The files the process has mapped or open: its libraries and its fonts."""
    with open('/proc/%d/maps' % pid) as f:
        names = {line.split(None, 5)[5].strip() for line in f if len(line.split(None, 5)) == 6}
    for fd in os.listdir('/proc/%d/fd' % pid):
        try:
            names.add(os.readlink('/proc/%d/fd/%s' % (pid, fd)))
        except OSError:
            pass
    return names


def find_game(play_pid):
    """The program ./play started (its child), or play itself once it has made way."""
    for _ in range(50):
        try:
            with open('/proc/%d/task/%d/children' % (play_pid, play_pid)) as f:
                children = f.read().split()
            if children:
                return int(children[0])
        except OSError:
            pass
        time.sleep(0.1)
    return play_pid


# ---- The web package --------------------------------------------------------------------------

def test_web(archive, first_page, work):
    folder = os.path.join(work, 'site')
    with zipfile.ZipFile(archive) as z:
        names = z.namelist()
        z.extractall(folder)
    check('index.html' in names, 'the web package has index.html at its root')
    fonts = sum(os.path.getsize(os.path.join(folder, n)) for n in names
                if n.startswith('fonts/') and n.endswith(('.woff2', '.ttf')))
    check(fonts < FONT_BUDGET, 'the faces weigh %.0f KB (under %.1f MB)' % (fonts / 1024, FONT_BUDGET / 1e6))
    with serve(folder) as base:
        browser = Browser()
        try:
            browser.open(base + 'index.html')
            browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)
            before = browser.js('''
                var title = window.tessarc.firstFrameMs, sum = 0;
                performance.getEntriesByType('navigation').concat(
                    performance.getEntriesByType('resource')).forEach(function (e) {
                  if (e.startTime <= title) sum += e.transferSize; });
                return sum;''')
            check(before <= BEFORE_TITLE_BUDGET, '%.2f MiB transferred before the title (at most 3 MiB)'
                  % (before / 1048576))
            browser.settle()
            browser.click(410, 372)
            found = browser.wait_event('page', timeout=60)
            texts = [s['text'] for s in browser.trace()[found]['segments']]
            check(texts == first_page, 'the unzipped page plays: its first page reads as natively')
        finally:
            browser.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--dist', default=os.path.join(ROOT, 'dist'))
    parser.add_argument('--name', default='game')
    parser.add_argument('--replay', default=os.path.join(ROOT, 'build', 'tessarc-replay'))
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='tessarc-dist-test-')
    try:
        first_page = native_first_page(args.replay, work)
        test_desktop(os.path.join(args.dist, args.name + '-linux-x86_64.tar.gz'), args.name,
                     first_page, work)
        test_web(os.path.join(args.dist, args.name + '-web.zip'), first_page, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print('dist: %d passed, %d failed' % (len(passed), len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
