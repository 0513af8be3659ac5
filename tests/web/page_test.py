"""The page around the game, played in headless Chromium (run by web_test.py):

1. The keys: F1 shows the help, F3/F4 and F7/F8 change the volumes, A auto-advance and F10 the
   window note, each kept in ./save/settings as on the desktop; the page's buttons send the same.
2. Escape ends in the page that says the game has ended, and its button starts the game again.
3. Touch: a tap is a click, a long press the right button, a swipe down the wheel up.
4. Files on their way: with the first scene's pack held back (and failing), a click on start
   waits with a progress bar, drops the clicks made meanwhile, and plays on when it comes.
5. Pictures the browser cannot read (16-bit PNGs) are converted at build time and drawn as the
   desktop draws them; a picture nothing can read is named in a warning.
"""
import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

from browser import Browser, serve
from selenium.webdriver.common.keys import Keys

START = (410, 372)


def settings(browser):
    text = browser.js('''
        try { return new TextDecoder().decode(FS.readFile('/save/settings')); }
        catch (e) { return ''; }''')
    return dict(line.split(' ', 1) for line in text.splitlines() if line and line[0] != '#')


def pages(browser):
    return len([e for e in browser.trace() if e['ev'] == 'page'])


def start_game(browser, base):
    browser.open(base + 'index.html')
    browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)
    browser.settle()
    browser.click(*START)
    at = browser.wait_event('page')
    browser.settle()
    return at


def canvas_sum(browser, box):
    """A cheap fingerprint of a rectangle of the canvas."""
    return browser.js('''
        var d = document.getElementById('canvas').getContext('2d')
                  .getImageData(arguments[0], arguments[1], arguments[2], arguments[3]).data;
        var s = 0; for (var i = 0; i < d.length; i += 7) s = (s * 31 + d[i]) % 1000000007;
        return s;''', *box)


def test_keys_and_quit(base, check):
    browser = Browser()
    try:
        start_game(browser, base)
        help_box = (100, 90, 600, 420)
        before = canvas_sum(browser, help_box)
        browser.press(Keys.F1)
        browser.wait_for(lambda: canvas_sum(browser, help_box) != before, 10)
        shown = canvas_sum(browser, help_box)
        check(True, 'F1 shows the help in the page')
        browser.press(Keys.SPACE)
        browser.wait_for(lambda: canvas_sum(browser, help_box) != shown, 10)
        browser.settle()
        check(True, 'a key closes the help')
        before = canvas_sum(browser, help_box)

        for key in (Keys.F3, Keys.F3, Keys.F4, Keys.F7, Keys.F10):
            browser.press(key)
            browser.settle(0.3)
        kept = browser.wait_for(lambda: settings(browser).get('sounds') == '9' and settings(browser))
        check(kept.get('music') == '9' and kept.get('window') == '1',
              'F3, F4, F7 and F10 act and are kept in ./save/settings: %s' % kept)
        browser.press(Keys.F8)
        browser.wait_for(lambda: settings(browser).get('sounds') == '10')
        check(True, 'F8 turns the sounds up again')
        # The page's buttons are the keys a page or a touch screen lacks.
        browser.js("document.querySelector('#tools [data-key=KeyA]').click()")
        browser.wait_for(lambda: settings(browser).get('auto') == '1')
        check(True, 'the page\'s auto button is the A key')
        browser.js("document.querySelector('#tools [data-key=KeyA]').click()")
        browser.wait_for(lambda: settings(browser).get('auto') == '0')
        browser.settle()
        before = canvas_sum(browser, help_box)
        browser.js("document.querySelector('#tools [data-key=F1]').click()")
        browser.wait_for(lambda: canvas_sum(browser, help_box) == shown, 10)
        check(True, 'the page\'s help button is F1')
        browser.press(Keys.SPACE)
        browser.wait_for(lambda: canvas_sum(browser, help_box) != shown, 10)
        browser.settle()

        browser.press(Keys.ESCAPE)
        status = browser.wait_for(lambda: [browser.state()['exitStatus']]
                                  if browser.state()['exitStatus'] is not None else None, 20)[0]
        shown = browser.js('''var e = document.getElementById('ended');
            return getComputedStyle(e).display !== 'none' && e.textContent;''')
        check(status == 0 and shown and 'ゲームを終了しました' in shown,
              'Escape ends in the page that says the game has ended (status %s)' % status)
        browser.js("document.getElementById('again').click()")
        browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs') and
                         browser.state()['exitStatus'] is None, 120)
        check(True, 'its button starts the game again at the title')
        check(settings(browser).get('music') == '9', 'the settings outlive the restart')
    finally:
        browser.close()


def touch(browser, kind, points):
    browser.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
        'type': kind, 'touchPoints': [{'x': x, 'y': y} for x, y in points]})


def test_touch(base, check):
    browser = Browser()
    try:
        browser.open(base + 'index.html')
        browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)
        browser.settle()
        x, y = browser.page_point(*START)
        touch(browser, 'touchStart', [(x, y)])
        touch(browser, 'touchEnd', [])
        browser.wait_event('page', timeout=30)
        browser.settle()
        check(True, 'a tap on start is a click: the first page shows')

        x, y = browser.page_point(400, 300)
        shown = pages(browser)
        browser.js('''window.rightPresses = 0;
            document.getElementById('canvas').addEventListener('mousedown', function (e) {
              if (e.button === 2) window.rightPresses++; });''')
        touch(browser, 'touchStart', [(x, y)])
        time.sleep(0.8)
        touch(browser, 'touchEnd', [])
        browser.settle()
        # The right button turns no text page (it backs out of the menus): the page stays.
        check(browser.js('return window.rightPresses') == 1 and pages(browser) == shown,
              'a long press is one press of the right button, not a click')

        touch(browser, 'touchStart', [(x, y)])
        touch(browser, 'touchEnd', [])
        browser.wait_for(lambda: pages(browser) > shown, 20)
        browser.settle()
        check(True, 'a tap on a text page turns it')

        at = len(browser.trace())
        touch(browser, 'touchStart', [(x, y - 100)])
        for step in range(1, 6):
            touch(browser, 'touchMove', [(x, y - 100 + 30 * step)])
        touch(browser, 'touchEnd', [])
        found = browser.wait_event('backlog', at, timeout=20)
        shown = browser.trace()[found]
        check(shown['page'] == 1, 'a swipe down is the wheel up: the backlog shows %s' % shown)
    finally:
        browser.close()


def test_late_files(base, replay_first_page, check):
    """The first scene's pack is refused until the player has clicked start and clicked again."""
    browser = Browser()
    try:
        browser.driver.execute_cdp_cmd('Network.enable', {})
        browser.driver.execute_cdp_cmd('Network.setBlockedURLs', {'urls': ['*scene-start.pack*']})
        browser.open(base + 'index.html')
        browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)
        browser.settle()
        browser.click(*START)
        browser.wait_for(lambda: browser.js(
            "return getComputedStyle(document.getElementById('waiting')).display === 'block'"), 20)
        text = browser.js("return document.getElementById('waiting').textContent")
        check('読み込み中' in text or '再試行' in text,
              'a file still on its way shows a progress bar: ' + ' '.join(text.split()))
        # Impatient clicks while it waits are not taken as clicks on the page that comes.
        for _ in range(3):
            browser.click(400, 300)
        browser.driver.execute_cdp_cmd('Network.setBlockedURLs', {'urls': []})
        found = browser.wait_event('page', timeout=60)
        first = browser.trace()[found]
        browser.settle()
        texts = [s['text'] for s in first['segments']]
        state = browser.state()
        check(texts == replay_first_page and pages(browser) == 1 and state['fatal'] is None and
              state['waits'] >= 1,
              'the game plays on when the file comes, without an error or a lost page: %s'
              % ' / '.join(texts))
        check(browser.js(
            "return getComputedStyle(document.getElementById('waiting')).display") == 'none',
            'the progress bar goes once the file is there')
    finally:
        browser.close()


# ---- Pictures the browser cannot read ----------------------------------------------------------

def png16(path):
    """Rewrites the picture as a 16-bit PNG of the same pixels (each byte v as v * 257), the way
    ImageMagick writes many pictures."""
    from PIL import Image
    with Image.open(path) as image:
        image.load()
        alpha = image.mode in ('RGBA', 'LA', 'P') and ('A' in image.mode or
                                                      'transparency' in image.info)
        pixels = image.convert('RGBA' if alpha else 'RGB')
    w, h = pixels.size
    channels = 4 if alpha else 3
    raw = pixels.tobytes()
    rows = bytearray()
    for y in range(h):
        rows.append(0)
        for v in raw[y * w * channels:(y + 1) * w * channels]:
            rows += bytes((v, v))

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' +
                  chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 16, 6 if alpha else 2, 0, 0, 0)) +
                  chunk(b'IDAT', zlib.compress(bytes(rows), 6)) + chunk(b'IEND', b''))


def test_converted_pictures(root, work, native_first_shot, compare, check):
    """The first scene's background and the message frame as 16-bit PNGs, and a broken picture."""
    folder = tempfile.mkdtemp(dir=work)
    game = os.path.join(folder, 'game')
    shutil.copytree(os.path.join(root, 'game'), game, ignore=shutil.ignore_patterns('save'))
    png16(os.path.join(game, 'bg', 'dawn.jpg'))
    png16(os.path.join(game, 'system', 'picture', 'text.png'))
    with open(os.path.join(game, 'bg', 'broken.jpg'), 'wb') as out:
        out.write(b'\xff\xd8\xff\xe0 not a picture at all')
    site = os.path.join(folder, 'site')
    built = subprocess.run([os.path.join(root, 'tools', 'make-web.sh'), game],
                           env={**os.environ, 'WEB_OUT': site}, capture_output=True, text=True)
    check(built.returncode == 0, 'make-web.sh builds the game with 16-bit pictures')
    check('warning: bg/broken.jpg:' in built.stderr,
          'the picture nothing can read is named in a warning: '
          + next((l for l in built.stderr.splitlines() if 'broken.jpg' in l), 'none'))
    check('converted bg/dawn.jpg' in built.stdout and 'converted system/picture/text.png' in built.stdout,
          'the 16-bit pictures are converted for the page')
    native = native_first_shot(game)
    with serve(site) as base:
        browser = Browser()
        try:
            start_game(browser, base)
            worst, mean = compare(browser, native)
            print('     16-bit pictures in the page against the desktop: largest difference %d, '
                  'mean %.2f' % (worst, mean))
            check(mean < 2.0 and worst <= 48, 'a 16-bit PNG draws in the page as on the desktop')
        finally:
            browser.close()
