#!/usr/bin/python3
"""The web page's figures, each beside its target, from a local server and headless Chromium.

    bench/web_bench.py [--web build-web] [--runs 5]

Bytes transferred before the title shows, time from the page's load to the usable title (its
first frame, when its buttons answer), the faces' bytes, and the bytes of the whole page (all a
player's browser fetches over a whole game, the replay driver left out). The time is the
fastest of several loads with the browser's cache off, since other work only slows a load.
"""
import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'web'))
from browser import Browser, serve  # noqa: E402

MiB = 1024 * 1024

MEASURE = '''
    var title = window.tessarc.firstFrameMs, before = 0;
    performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))
      .forEach(function (e) { if (e.startTime <= title) before += e.transferSize; });
    return [title, before];'''


def site_bytes(web):
    total = fonts = 0
    for top, _, files in os.walk(web):
        for name in files:
            if name.startswith('tessarc-replay'):
                continue
            size = os.path.getsize(os.path.join(top, name))
            if name.endswith('.txt'):
                continue
            total += size
            if os.path.basename(top) == 'fonts':
                fonts += size
    return total, fonts


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--web', default=os.path.join(ROOT, 'build-web'))
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.web, 'index.html')):
        print('web figures: not measured (no page in %s: make web)' % args.web)
        return 0
    total, fonts = site_bytes(args.web)
    times, before = [], None
    with serve(args.web) as base:
        browser = Browser()
        try:
            browser.driver.execute_cdp_cmd('Network.enable', {})
            browser.driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': True})
            for _ in range(args.runs):
                browser.open(base + 'index.html?bench=%d' % len(times))
                browser.wait_for(lambda: (browser.state() or {}).get('firstFrameMs'), 120)
                title, sent = browser.js(MEASURE)
                times.append(title)
                before = sent if before is None else min(before, sent)
        finally:
            browser.close()
    load = os.getloadavg()[0]
    rows = [
        ('bytes before the title', '%.2f MiB' % (before / MiB), 'at most 3 MiB'),
        ('local server: page load to the usable title', '%.0f ms (fastest of %d; %s)'
         % (min(times), len(times), ', '.join('%.0f' % t for t in times)), 'under 1000 ms'),
        ('faces (both, cut to the game)', '%.0f KB' % (fonts / 1024), 'under 1.5 MB'),
        ('whole page (engine, packs, faces, page)', '%.1f MB' % (total / 1e6),
         'no target (23.5 MB before the title until now)'),
    ]
    print('web page (%s), load average %.1f:' % (args.web, load))
    for name, value, target in rows:
        print('  %-45s %-34s %s' % (name, value, target))
    ok = before <= 3 * MiB and fonts < 1.5e6
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
