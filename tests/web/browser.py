"""A headless Chromium on a page served from a folder, driven through chromedriver."""
import contextlib
import functools
import http.server
import json
import shutil
import socketserver
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder

# The machine's network is closed: nothing may reach out, and the browser starts clean.
CHROMIUM_FLAGS = [
    '--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--window-size=1000,800', '--mute-audio', '--disable-dev-shm-usage',
]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def serve(folder):
    """Serves folder on a free local port; yields the base URL."""
    handler = functools.partial(QuietHandler, directory=folder)
    socketserver.TCPServer.allow_reuse_address = True
    with socketserver.ThreadingTCPServer(('127.0.0.1', 0), handler) as server:
        thread = threading.Thread(target=server.serve_forever, daemon=True)
        thread.start()
        try:
            yield 'http://127.0.0.1:%d/' % server.server_address[1]
        finally:
            server.shutdown()


class Browser:
    def __init__(self, profile=None):
        self.profile = profile or tempfile.mkdtemp(prefix='tessarc-web-')
        self.owns_profile = profile is None
        options = webdriver.ChromeOptions()
        options.binary_location = shutil.which('chromium') or '/usr/bin/chromium'
        for flag in CHROMIUM_FLAGS + ['--user-data-dir=' + self.profile]:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        driver = shutil.which('chromedriver') or '/usr/bin/chromedriver'
        self.driver = webdriver.Chrome(service=Service(driver), options=options)

    def close(self, keep_profile=False):
        """Ends the browser; its profile (and the page's storage) is removed unless kept or
        given by the caller."""
        self.driver.quit()
        if self.owns_profile and not keep_profile:
            shutil.rmtree(self.profile, ignore_errors=True)

    def open(self, url):
        self.driver.get(url)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def state(self):
        return self.js('return window.tessarc || null')

    def trace(self):
        return self.js('return window.tessarc ? window.tessarc.trace : []')

    def wait_for(self, what, timeout=30, step=0.05):
        """Polls what() until it is true; returns its value or raises."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = what()
            if value:
                return value
            time.sleep(step)
        raise AssertionError('timed out waiting for ' + (what.__doc__ or 'it'))

    def wait_event(self, kind, after=0, timeout=30):
        """Waits for a trace event of the kind at index after or later; returns its index."""
        def found():
            trace = self.trace()
            for i in range(after, len(trace)):
                if trace[i]['ev'] == kind:
                    return i + 1
            return 0
        found.__doc__ = 'trace event ' + kind
        return self.wait_for(found, timeout) - 1

    def settle(self, quiet=0.4, timeout=30):
        """Waits until the trace has not grown for `quiet` seconds."""
        deadline = time.time() + timeout
        count, since = len(self.trace()), time.time()
        while time.time() < deadline:
            time.sleep(0.05)
            now = len(self.trace())
            if now != count:
                count, since = now, time.time()
            elif time.time() - since >= quiet:
                return count
        raise AssertionError('the game never settled')

    def page_point(self, x, y):
        """The viewport point over the game's pixel (x, y), however the canvas is scaled."""
        return self.js('''
            var r = document.getElementById('canvas').getBoundingClientRect();
            return [r.left + (arguments[0] + 0.5) * r.width / 800,
                    r.top + (arguments[1] + 0.5) * r.height / 600];''', x, y)

    def click(self, x, y, hold=0.05):
        """A left click on the game's pixel (x, y); hold=0 releases at once, so that the press
        and the release reach the game together."""
        px, py = self.page_point(x, y)
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(round(px)), int(round(py)))
        actions.pointer_action.pointer_down()
        if hold:
            actions.pointer_action.pause(hold)
        actions.pointer_action.pointer_up()
        actions.perform()

    def key_down(self, key):
        ActionChains(self.driver).key_down(key).perform()

    def key_up(self, key):
        ActionChains(self.driver).key_up(key).perform()

    def press(self, key):
        ActionChains(self.driver).key_down(key).pause(0.05).key_up(key).perform()

    def canvas_png(self):
        """The canvas's own 800x600 pixels as PNG bytes."""
        import base64
        data = self.js("return document.getElementById('canvas').toDataURL('image/png')")
        return base64.b64decode(data.split(',', 1)[1])

    def console(self):
        return [entry['message'] for entry in self.driver.get_log('browser')]
