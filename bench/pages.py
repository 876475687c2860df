"""What the programs' pages cost in headless Chromium (SwiftShader), for bench/report.py: script
time a frame while a drag goes on, at several path lengths; the browser's CPU with the worked
example at rest, against a blank tab; and the time from the last answer to the first frame."""

import contextlib
import os
import statistics
import sys
import tempfile
import time

from drivers.webdriver import Chromium, serve
from drivers.xwindow import until

FLAT = "4 2 1 1 1 0.3"  # trakflat's path in bench/report.py: it meets no corner
LEGS = (0, 3, 1000, 10000, 100000, 1000000)
DRAG = 20  # steps of 5 pixels, each awaited until a frame is drawn
SHOWN = "Module.frames > 0"
# Counts every frame drawn (each clears the canvas), asked for by the page or drawn by an idle
# routine.
CLEARS = ("window.clears ?? (window.clears = 0, (c => { const o = c.clear.bind(c); "
          "c.clear = m => (clears++, o(m)); })(Module.ctx), 0)")


def drag_script_time(browser, site):
    """{legs: (ms of main-thread script a frame, ms a frame, frames drawn during the drag)}"""
    out = {}
    for n in LEGS:
        browser.go(f"{site}/trakflat.html?input={FLAT.replace(' ', '+')}+{n}")
        until("the window", lambda: browser.js(SHOWN), 600)
        time.sleep(1)  # the first frames done

        def mouse(kind, x):
            browser.cdp("Input.dispatchMouseEvent", type=kind, x=x, y=300, button="left",
                        buttons=int(kind != "mouseReleased"), clickCount=1)
        mouse("mousePressed", 300)
        browser.cdp("Performance.enable")
        before = metric(browser), browser.js(CLEARS), time.monotonic()
        for step in range(1, DRAG + 1):
            drawn = browser.js(CLEARS)  # counted before the step: its frame may come at once
            mouse("mouseMoved", 300 + 5 * step)
            until("a frame", lambda: browser.js(CLEARS) > drawn, 600)
        after = metric(browser), browser.js(CLEARS), time.monotonic()
        mouse("mouseReleased", 300 + 5 * DRAG)
        browser.cdp("Performance.disable")
        frames = after[1] - before[1]
        out[n] = ((after[0] - before[0]) * 1000 / frames, (after[2] - before[2]) * 1000 / frames,
                  frames)
    return out


def metric(browser, name="ScriptDuration"):
    metrics = browser.cdp("Performance.getMetrics")["metrics"]
    return next(m["value"] for m in metrics if m["name"] == name)


def cpu(browser, url, seconds=8):
    """Percent of one core that the browser's processes use while `url` stands still."""
    browser.go(url)
    if "html" in url:
        until("the window", lambda: browser.js(SHOWN), 60)
    time.sleep(2)
    start, t0 = ticks(browser.processes[0].pid), time.monotonic()
    time.sleep(seconds)
    used = (ticks(browser.processes[0].pid) - start) / os.sysconf("SC_CLK_TCK")
    return used / (time.monotonic() - t0) * 100


def ticks(root):
    """CPU clock ticks used so far by `root` and every process under it."""
    procs = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        with contextlib.suppress(OSError):
            f = open(f"/proc/{pid}/stat").read().rpartition(")")[2].split()
            procs[int(pid)] = (int(f[1]), int(f[11]) + int(f[12]))  # parent, user + system time
    under = lambda pid: pid == root or (pid in procs and pid > 1 and under(procs[pid][0]))
    return sum(t for pid, (_, t) in procs.items() if under(pid))


def first_frame(browser, site, n=1000):
    """ms from the last answer typed to the end of the first frame."""
    browser.go(f"{site}/trakflat.html")
    browser.js("(() => { const p = Module.postMainLoop; Module.postMainLoop = () => { "
               "Module.firstAt ??= performance.now(); p(); }; return 1; })()")
    answer = ("(v => { const a = document.getElementById('answer'); a.value = v; "
              "a.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter'})); return %s; })('%s')")
    for word in FLAT.split():
        browser.js(answer % (1, word))
    until("the last question", lambda: browser.js("document.getElementById('console').textContent")
          .endswith("Unesi broj odbijanja \n"), 30)
    t0 = browser.js(answer % ("performance.now()", n))
    return until("the first frame", lambda: browser.js("Module.firstAt"), 60) - t0


def measure(site_dir):
    """The figures for the site in `site_dir` (a web build)."""
    with tempfile.TemporaryDirectory() as profile, serve(site_dir) as server:
        browser = Chromium(dict(os.environ), profile, True)
        try:
            first = statistics.median(first_frame(browser, server.url) for _ in range(3))
            rest = cpu(browser, f"{server.url}/trakbox.html?input=4+3+2+1+1+1+1+1+1+5")
            blank = cpu(browser, "about:blank")
            drag = drag_script_time(browser, server.url)
        finally:
            browser.close()
    return dict(first=first, rest=rest, blank=blank, drag=drag)


if __name__ == "__main__":
    print(measure(sys.argv[1]))
