#!/usr/bin/python3
"""The web page of the bundled game, played in headless Chromium and checked against the
native replay driver.

    tests/web/web_test.py [--web build-web] [--replay build/tessarc-replay]

1. The live page: the title, start, the first page (its text and its picture against the
   native `shot` of the same moment), pages turned, the field menu, a save into slot 1 that
   survives a reload of the page, and slot 1 loaded back into the same scene and state.
2. The page's replay mode (index.html?replay=URL) plays the true ending with the same scene,
   page, choice, pick and save events as the native driver.
3. A game that cannot start shows the error screen and the message in the page.
4. The page around the game (page_test.py): the keys and the page's buttons, the page shown at
   the end with its way to start again, touch, files that come late, converted pictures.
5. The budgets, measured and printed: the engine's compressed size (checked), the time to the
   first title frame and a text page's idle processor use (reported, never checked: the
   machine may be busy).
"""
import argparse
import base64
import gzip
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import page_test  # noqa: E402
from browser import Browser, serve  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PLAYTHROUGH = os.path.join(ROOT, 'tests', 'playthrough')
ENGINE_BUDGET = 1536 * 1024        # bytes of tessarc.js + tessarc.wasm, gzip-compressed
COMPARED = ('scene', 'page', 'choice', 'pick', 'save')

failures = []


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what)
    if not ok:
        failures.append(what)
    return ok


# ---- The native side --------------------------------------------------------------------------

def fresh_game(into):
    """A copy of the bundled game without its saves."""
    game = os.path.join(into, 'game')
    shutil.copytree(os.path.join(ROOT, 'game'), game, ignore=shutil.ignore_patterns('save'))
    return game


def native_run(replay, game, input_text, work):
    """Runs the native driver on the game; returns its trace events."""
    script = os.path.join(work, 'input.txt')
    trace = os.path.join(work, 'trace.jsonl')
    with open(script, 'w') as out:
        out.write(input_text)
    subprocess.run([replay, '--dir', game, '--trace', trace, script], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)
    with open(trace, encoding='utf-8') as lines:
        return [json.loads(line) for line in lines if line.strip()]


def read_bmp(path):
    """SDL_SaveBMP's 24-bit picture as rows of (r, g, b) bytes, top row first."""
    with open(path, 'rb') as f:
        data = f.read()
    offset = int.from_bytes(data[10:14], 'little')
    width = int.from_bytes(data[18:22], 'little', signed=True)
    height = int.from_bytes(data[22:26], 'little', signed=True)
    pitch = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = y if height < 0 else abs(height) - 1 - y
        start = offset + row * pitch
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    return rows


def events(trace, kinds=COMPARED):
    """The events of the kinds, without their time stamps."""
    return [{k: v for k, v in e.items() if k != 'ms'} for e in trace if e['ev'] in kinds]


def texts(page_event):
    return [segment['text'] for segment in page_event['segments']]


# ---- The page -----------------------------------------------------------------------------------

def canvas_rows(browser):
    """The canvas's pixels as rows of (r, g, b) bytes."""
    data = browser.js('''
        var c = document.getElementById('canvas');
        var d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        var s = '';
        for (var i = 0; i < d.length; i += 32768)
            s += String.fromCharCode.apply(null, d.subarray(i, i + 32768));
        return btoa(s);''')
    rgba = base64.b64decode(data)
    rows = []
    for y in range(600):
        line = rgba[y * 3200:(y + 1) * 3200]
        rgb = bytearray(2400)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[0::4], line[1::4], line[2::4]
        rows.append(bytes(rgb))
    return rows


def compare_pictures(page, native, text_area):
    """Largest and mean difference of a colour channel outside the text area."""
    left, top, right, bottom = text_area
    worst, total, count = 0, 0, 0
    for y in range(600):
        a, b = page[y], native[y]
        for x in range(800):
            if left <= x < right and top <= y < bottom:
                continue
            for c in range(3):
                d = abs(a[x * 3 + c] - b[x * 3 + c])
                total += d
                if d > worst:
                    worst = d
            count += 3
    return worst, total / count


def wait_title(browser):
    return browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)


def play_until(browser, steps, after=0):
    """Clicks each (x, y) once the game waits for the player (its trace has gone quiet)."""
    for x, y in steps:
        browser.settle()
        browser.click(x, y)
    return browser.settle()


def save_bytes(browser, name):
    return browser.js('''
        try { return Array.from(FS.readFile(arguments[0])); } catch (e) { return null; }''',
                      '/save/' + name)


def idle_share(browser, seconds=3):
    """The share of one processor the page's main thread used while nothing happened."""
    browser.driver.execute_cdp_cmd('Performance.enable', {})

    def task_seconds():
        metrics = browser.driver.execute_cdp_cmd('Performance.getMetrics', {})['metrics']
        return {m['name']: m['value'] for m in metrics}['TaskDuration']
    before, start = task_seconds(), time.time()
    time.sleep(seconds)
    return (task_seconds() - before) / (time.time() - start)


def native_first_shot(replay, game, work):
    """The native driver's picture of the game's first page, and that page's texts."""
    folder = tempfile.mkdtemp(dir=work)
    copy = os.path.join(folder, 'game')
    shutil.copytree(game, copy, ignore=shutil.ignore_patterns('save'))
    shot = os.path.join(folder, 'first.bmp')
    native = native_run(replay, copy, 'click 410 372\nshot %s\n' % shot, folder)
    return shot, texts(next(e for e in native if e['ev'] == 'page'))


def compare_with_shot(browser, shot):
    return compare_pictures(canvas_rows(browser), read_bmp(shot), (30, 395, 770, 590))


def test_page(base, replay, work):
    page_test.test_keys_and_quit(base, check)
    page_test.test_touch(base, check)
    first_page = native_first_shot(replay, os.path.join(ROOT, 'game'), work)[1]
    page_test.test_late_files(base, first_page, check)
    page_test.test_converted_pictures(ROOT, work, lambda game: native_first_shot(replay, game, work)[0],
                                      compare_with_shot, check)


def test_live_page(base, replay, work):
    browser = Browser()
    try:
        browser.open(base + 'index.html')
        first_frame = wait_title(browser)
        print('     first title frame %.0f ms after the page load' % first_frame)

        # The native driver at the same moment: the first page, shot.
        native_dir = tempfile.mkdtemp(dir=work)
        game = fresh_game(native_dir)
        shot = os.path.join(native_dir, 'first.bmp')
        native = native_run(replay, game, 'click 410 372\nshot %s\n' % shot, native_dir)
        native_page = next(e for e in native if e['ev'] == 'page')

        # Pressed and released at once: the press still reaches the title.
        browser.click(410, 372, hold=0)
        at = browser.wait_event('page')
        first = browser.trace()[at]
        check(texts(first) == texts(native_page),
              'the first page reads as natively: ' + ' / '.join(texts(first)))
        browser.settle()
        worst, mean = compare_pictures(canvas_rows(browser), read_bmp(shot), (30, 395, 770, 590))
        print('     picture against the native shot (text rows left out): '
              'largest difference %d, mean %.2f' % (worst, mean))
        check(mean < 2.0 and worst <= 48, 'the first page looks as natively')
        share = idle_share(browser)
        print('     idle text page: %.1f%% of a processor' % (100 * share))

        # Pages turn, the field menu opens, slot 1 is written: the save_slot input's clicks.
        pages = len([e for e in browser.trace() if e['ev'] == 'page'])
        browser.press(Keys.RETURN)
        browser.wait_for(lambda: len([e for e in browser.trace() if e['ev'] == 'page']) > pages)
        check(True, 'a page turns on Return')
        browser.key_down(Keys.CONTROL)
        browser.wait_event('menu', at)
        check(True, 'the field menu opens')
        play_until(browser, [(600, 175), (400, 200), (600, 255), (400, 250),
                             (600, 175), (400, 200), (400, 200), (400, 200)])
        saved = browser.wait_event('save', at)
        while browser.trace()[saved]['file'] != './save/1':
            saved = browser.wait_event('save', saved + 1)
        browser.wait_for(lambda: browser.state()['savesStored'] >= 1)
        web_trace = browser.trace()
        slot = save_bytes(browser, '1')

        # The same clicks natively, up to the same save.
        native_dir = tempfile.mkdtemp(dir=work)
        game = fresh_game(native_dir)
        with open(os.path.join(PLAYTHROUGH, 'save_slot.txt')) as f:
            native = native_run(replay, game, f.read(), native_dir)
        with open(os.path.join(game, 'save', '1'), 'rb') as f:
            native_slot = list(f.read())
        upto = lambda trace: events(trace[:next(i for i, e in enumerate(trace)
                                                if e['ev'] == 'save' and e['file'] == './save/1') + 1])
        check(upto(web_trace) == upto(native), 'the road to the save is the native one')
        check(slot == native_slot, 'slot 1 holds the bytes the native game writes')
        scene_saved = [e['name'] for e in web_trace[:saved] if e['ev'] == 'scene'][-1]
        browser.key_up(Keys.CONTROL)

        # Reload: slot 1 comes back from the browser's storage and loads.
        browser.driver.refresh()
        wait_title(browser)
        check(save_bytes(browser, '1') == slot, 'slot 1 survives a reload')
        browser.settle()
        browser.click(410, 427)
        browser.settle()
        browser.click(400, 200)
        at = browser.wait_event('scene')
        scene = browser.trace()[at]['name']
        found = browser.wait_event('page', at)
        page = browser.trace()[found]
        native_dir = tempfile.mkdtemp(dir=work)
        game_after = os.path.join(native_dir, 'game')
        shutil.copytree(game, game_after)
        with open(os.path.join(PLAYTHROUGH, 'load_slot.txt')) as f:
            native = native_run(replay, game_after, f.read(), native_dir)
        native_scene = next(e['name'] for e in native if e['ev'] == 'scene')
        check(scene == native_scene,
              'slot 1 loads into scene %s as natively (saved in %s)' % (scene, scene_saved))
        native_page = next(e for e in native if e['ev'] == 'page')
        check(events([page]) == events([native_page]),
              'the loaded game goes on with the native page: ' + ' / '.join(texts(page)))
        browser.settle()
        for line in browser.console():
            if 'error' in line.lower() and 'favicon' not in line:
                print('     console: ' + line[:200])
    finally:
        browser.close(keep_profile=True)

    # A new browser on the same profile: the storage outlives the browser.
    again = Browser(profile=browser.profile)
    try:
        again.open(base + 'index.html')
        wait_title(again)
        check(save_bytes(again, '1') == slot, 'slot 1 survives a browser restart')
    finally:
        again.close()
        shutil.rmtree(browser.profile, ignore_errors=True)
    return first_frame, share


def test_replay_page(base, replay, work):
    browser = Browser()
    try:
        started = time.time()
        browser.open(base + 'index.html?replay=replays/true_ending.txt')
        status = browser.wait_for(
            lambda: (browser.state() or {}).get('exitStatus') is not None and
            [browser.state()['exitStatus']], 600)[0]
        print('     the true ending played in the page in %.1f s' % (time.time() - started))
        check(status == 0, 'the replay page ends with status 0')
        native_dir = tempfile.mkdtemp(dir=work)
        game = fresh_game(native_dir)
        with open(os.path.join(PLAYTHROUGH, 'true_ending.txt')) as f:
            native = native_run(replay, game, f.read(), native_dir)
        web, nat = events(browser.trace()), events(native)
        same = web == nat
        if not same:
            for i, (a, b) in enumerate(zip(web, nat)):
                if a != b:
                    print('     first difference at event %d:\n       page   %s\n       native %s'
                          % (i, json.dumps(a, ensure_ascii=False)[:200],
                             json.dumps(b, ensure_ascii=False)[:200]))
                    break
            print('     %d events in the page, %d natively' % (len(web), len(nat)))
        check(same, 'the page replays the true ending with the native events (%d)' % len(nat))
    finally:
        browser.close()


def test_fatal_page(work):
    """A game without its item list: the error screen, and its message in the page."""
    broken = tempfile.mkdtemp(dir=work)
    game = fresh_game(broken)
    os.remove(os.path.join(game, 'script', 'itemlist.txt'))
    site = os.path.join(broken, 'site')
    subprocess.run([os.path.join(ROOT, 'tools', 'make-web.sh'), game], check=True,
                   env={**os.environ, 'WEB_OUT': site}, stdout=subprocess.DEVNULL)
    with serve(site) as base:
        browser = Browser()
        try:
            browser.open(base + 'index.html')
            fatal = browser.wait_for(lambda: (browser.state() or {}).get('fatal'), 120)
            shown = browser.js("return document.getElementById('message').textContent")
            check(fatal == shown == 'itemlist.txtがありません',
                  'a fatal error shows its message in the page: ' + str(shown))
        finally:
            browser.close()


def faces_cover_the_game(web):
    """Every character of the bundled game's texts and of the engine's own messages is in both
    cut faces, and a character used nowhere is not."""
    import glob
    from fontTools.ttLib import TTFont
    wanted = set()
    for path in glob.glob(os.path.join(ROOT, 'game', 'script', '*.txt')) + \
            [os.path.join(ROOT, 'game', 'system', 'game.txt')]:
        with open(path, encoding='utf-8') as f:
            wanted |= {ord(c) for c in f.read() if ord(c) >= 0x20}
    # The engine's own: the help, the slot screen's notice, a fatal error, the emphasis dot.
    wanted |= {ord(c) for c in 'オート（ページが自動で進む）セーブできませんでした'
               'フォントの取得に失敗しました※エラー！・'}
    for name in os.listdir(os.path.join(web, 'fonts')):
        if not name.endswith(('.woff2', '.ttf')):
            continue
        cmap = TTFont(os.path.join(web, 'fonts', name)).getBestCmap()
        missing = sorted(chr(c) for c in wanted if c not in cmap)
        check(not missing, 'the cut face %s holds every character the game draws%s'
              % (name, (': missing ' + ''.join(missing[:20])) if missing else ''))
        check(ord('鬱') not in cmap, 'the cut face %s leaves out what the game never draws' % name)


def engine_size(web):
    total = 0
    for name in ('tessarc.js', 'tessarc.wasm'):
        with open(os.path.join(web, name), 'rb') as f:
            total += len(gzip.compress(f.read(), 9))
    return total


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--web', default=os.path.join(ROOT, 'build-web'))
    parser.add_argument('--replay', default=os.path.join(ROOT, 'build', 'tessarc-replay'))
    parser.add_argument('--only', choices=('live', 'replay', 'page'), help='run only that part')
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix='tessarc-web-test-')
    try:
        # The page's folder as built, with the playthrough inputs beside it.
        site = os.path.join(work, 'site')
        os.mkdir(site)
        for name in os.listdir(args.web):
            os.symlink(os.path.join(os.path.abspath(args.web), name), os.path.join(site, name))
        os.symlink(PLAYTHROUGH, os.path.join(site, 'replays'))

        faces_cover_the_game(args.web)
        size = engine_size(args.web)
        check(size < ENGINE_BUDGET, 'engine download %.0f KB compressed (budget %d KB)'
              % (size / 1024, ENGINE_BUDGET // 1024))
        with serve(site) as base:
            first_frame = share = float('nan')
            if args.only in (None, 'live'):
                first_frame, share = test_live_page(base, args.replay, work)
            if args.only in (None, 'page'):
                test_page(base, args.replay, work)
            if args.only in (None, 'replay'):
                test_replay_page(base, args.replay, work)
        if args.only is None:
            test_fatal_page(work)
        print('budgets: engine %.0f KB gzip, first title frame %.0f ms, idle text page %.1f%%'
              % (size / 1024, first_frame, 100 * share))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print('%d check(s) failed' % len(failures))
        return 1
    print('all web checks passed')
    return 0


if __name__ == '__main__':
    sys.exit(main())
