"""The page backend: cases in the programs' pages, one after another in one browser, served by a private web
server or opened from files. The page's #console and #errors must show NAME.out (NAME.typed, echoes in, when
typed) and NAME.err, the program ending with status 1 if there is an .err; else the window must show. Real
input waits until the page has taken it before the next."""

import contextlib
import json
import os
import shutil
import tempfile
import time
from urllib.parse import quote_plus

from bidi import Firefox
from steps import HERE, look
from webdriver import Chromium, WebKit, serve
from xwindow import display, tool, until

BROWSERS = dict(chromium=Chromium, firefox=Firefox, webkit=WebKit)
AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "node_modules", "axe-core", "axe.min.js")
RECT = "(scrollTo(0, 0), document.getElementById('%s').getBoundingClientRect().toJSON())"  # the page at its top
SHOWN = "[...['console', 'errors'].map(id => document.getElementById(id).textContent), Module.exitStatus ?? null]"
# The input events the page has been given, counted before its own handlers see them.
SEEN = ("(window.trakSeen ??= {}, ['mousedown', 'mouseup', 'mousemove', 'keydown', 'touchend'].forEach(t => "
        "trakSeen[t] ??= (addEventListener(t, () => trakSeen[t]++, true), 0)), trakSeen)")
# The frames drawn (each clears the canvas) and the bytes sent to the GPU's buffers.
DRAWN = ("(window.trakDrawn ??= (c => { const n = {frames: 0, bytes: 0}, wrap = (f, g) => { const o = c[f].bind(c); "
         "c[f] = (...a) => (g(...a), o(...a)); }; wrap('clear', () => n.frames++); wrap('bufferData', (t, d) => "
         "n.bytes += d.byteLength || 0); wrap('bufferSubData', (t, o, d) => n.bytes += d.byteLength); return n; })"
         "(Module.ctx))")


class Page:
    """The steps on a page's canvas, in canvas pixels, whatever size the page shows it."""

    def __init__(self, browser, engine, case):
        self.browser, self.js, self.engine, self.case = browser, browser.js, engine, case
        self.x = self.y = 0  # the mouse
        self.drawn_before = self.js("window.Module && Module.ctx && " + DRAWN)

    def taken(self, event, act, count=1):
        """Does `act` and waits until the page has been given `count` more `event`s."""
        before = self.js(SEEN)[event]
        act()
        until(f"the page to take the {event}", lambda: self.js(SEEN)[event] >= before + count, 30)

    def at(self, *points):  # canvas pixels as the viewport's
        r = self.js(RECT % "canvas")
        return [(r["x"] + px * r["width"] / 1024, r["y"] + py * r["width"] / 1024) for px, py in points]

    def look(self, name, slack=0, *engines):
        look(self.canvas, self.canvas, name, dict(e.split("=") for e in engines).get(self.engine, 0))

    def canvas(self, out="rgb:-"):  # cut from a shot of the viewport
        r = self.js(RECT % "canvas")
        return tool(None, "/usr/bin/convert", "png:-", "-crop", "%(width)dx%(height)d+%(x)d+%(y)d" % r, "+repage",
                    "-depth", "8", out, input=self.browser.shot())

    def mouse(self, kind, x, y, button=1):
        moved, (self.x, self.y) = (x, y) != (self.x, self.y), (x, y)
        if kind != "Move" or moved:
            self.taken("mouse" + kind.lower(), lambda: self.browser.mouse(kind, *self.at((x, y))[0], int(button)))

    point = lambda self, x, y: self.mouse("Move", float(x), float(y))
    move = lambda self, dx, dy: self.mouse("Move", self.x + float(dx), self.y + float(dy))
    press = lambda self, button: self.mouse("Down", self.x, self.y, button)
    release = lambda self, button: self.mouse("Up", self.x, self.y, button)

    def click(self, id):
        r = self.js(RECT % id)
        for kind in ("Down", "Up"):
            self.taken("mouse" + kind.lower(), lambda: self.browser.mouse(kind, r["x"] + r["width"] / 2,
                                                                          r["y"] + r["height"] / 2, 1))

    def focused(self, id):
        assert self.js("document.activeElement.id") == id, f"{self.js('document.activeElement.id')} has it"

    def touch(self, *args):
        n = [float(a) for a in args]
        moves = int(n.pop()) if len(n) % 4 else 1
        fingers = [self.at(*((fx + dx * i / moves, fy + dy * i / moves) for i in range(moves + 1)))
                   for fx, fy, dx, dy in zip(*[iter(n)] * 4)]
        self.taken("touchend", lambda: self.browser.touch(fingers), len(fingers))

    def key(self, key, times=1):
        self.taken("keydown", lambda: self.browser.key(key, times=int(times)), int(times))
        assert not self.js("scrollX + scrollY"), f"{key} scrolled the page"

    def type(self, *words):
        for word in words:
            for key in [*word, "Enter"]:
                self.key(key)

    def attr(self, id, name, *value):
        until(f"{name} {' '.join(value)}", lambda: self.js(
            f"document.getElementById('{id}').getAttribute('{name}')") == " ".join(value), 10)

    def path(self):
        got = self.js("[...document.querySelectorAll('#path li, #path-more')].map(e => e.textContent).join('\\n')")
        want = open(self.case.base + ".path").read()
        assert got.strip("\n") == want.strip("\n"), f"the path listed is {got[:300]}"

    def inview(self, *ids):
        for id in ids:
            r, w, h = self.js(RECT % id), self.js("innerWidth"), self.js("innerHeight")
            assert r["left"] >= 0 and r["top"] >= 0 and r["right"] <= w and r["bottom"] <= h, f"{id} at {r}"
            assert id != "canvas" or r["width"] >= min(w / 2, 300), f"the canvas {r['width']} wide of {w}"

    def axe(self):
        self.js("(window.trakAxe = null, (0, eval)(%s), axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', "
                "'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice']}}).then(r => trakAxe = r.violations"
                ".map(v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', '))), 1)" % json.dumps(open(AXE).read()))
        violations = until("axe", lambda: self.js("trakAxe && [trakAxe]"), 60)[0]
        assert not violations, "; ".join(violations)

    def still(self, seconds):
        before = self.js(DRAWN)
        time.sleep(float(seconds))
        self.drawn_before = self.js(DRAWN)
        assert self.drawn_before["frames"] == before["frames"], f"{self.drawn_before['frames'] - before['frames']} drawn"

    def drawn(self, most=None):
        before, self.drawn_before = self.drawn_before, self.js(DRAWN)
        sent = self.drawn_before["bytes"] - before["bytes"]
        assert self.drawn_before["frames"] > before["frames"], "no frame drawn"
        assert most is None or sent <= int(most), f"{sent} bytes sent to the GPU"

    def viewport(self, w=1280, h=1024):
        self.browser.viewport(int(w), int(h))
        got = self.js("[innerWidth, document.documentElement.scrollWidth, ...['canvas', 'console', 'answer']"
                      ".map(id => document.getElementById(id).getBoundingClientRect().right)]")
        assert got[0] == int(w) >= max(got), f"{w} wide: width, scrolled width, right edges {got}"

    kept = lambda self: until("the site kept by its service worker", lambda: self.js(  # its caches, once it answers
        "navigator.serviceWorker.controller && (caches.keys().then(k => window.trakKept = k), window.trakKept)"), 30)
    offline = lambda self: (self.kept(), self.server.shutdown(), self.server.server_close())  # refused, not waiting

    def again(self, way, query):
        self.case.open, site = ["http", query], self.server.RequestHandlerClass.keywords["directory"]
        dialogue(self.browser, self.server, site, self.case, way)
        assert f"<title>{self.js('document.title')}</title>" in open(f"{site}/trak{self.case.program}.html").read()

    def rebuilt(self):
        before, self.tmp = self.kept(), tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
        site = shutil.copytree(self.site, self.tmp.name + "/site", ignore=shutil.ignore_patterns("answers-*", "Test*"))
        tool(None, "sed", "-i", "s|</title>| (2)</title>|", f"{site}/trak{self.case.program}.html")
        tool(None, "cmake", "-DSITE=" + site, "-P", f"{HERE}/../../cmake/serviceworker.cmake")
        self.server.RequestHandlerClass.keywords["directory"] = site  # the same address
        self.browser.go(self.server.url + "/index.html")
        until("the new site kept alone", lambda: (k := self.kept()) != before and len(k) == 1, 30)

    def manifest(self, *fields):
        assert not (e := self.browser.cdp("Page.getInstallabilityErrors")["installabilityErrors"]), e
        got = self.browser.cdp("Page.getAppManifest")  # as written, and as read (addresses in the site)
        got = {**json.loads(got["data"]), **json.loads(json.dumps(got["manifest"]).replace(self.server.url + "/", ""))}
        got["icons"], urls = ",".join(i["sizes"] for i in got["icons"]), json.dumps([i["url"] for i in got["icons"]])
        got["shown"] = self.js(f"Promise.all({urls}.map(src => Object.assign(new Image(), {{src}})).map(i => i.decode()"
                               ".then(() => i.width + 'x' + i.height, () => 0))).then(shown => shown.join())")
        assert all(str(got.get(k)) == v for k, v in (f.split("=", 1) for f in fields)), got


def dialogue(browser, server, site, case, way):
    """Opens the case's page, gives it the answers in `way`, and waits until the page shows what it must."""
    typed, at = way in ("typed", "file"), 0
    read = lambda ext: open(case.base + ext).read() if os.path.exists(case.base + ext) or ext == ".typed" else None
    want = [read(".typed" if typed else ".out"), read(".err") or ""]
    want.append(1 if want[1] and case.webgl else None)  # a page that cannot draw waits on
    with tempfile.NamedTemporaryFile(dir=site, prefix="answers-", suffix=".txt", buffering=0) as file:
        file.write(case.answers)
        scheme, query = (case.open + [""])[:2] if case.open else ("file" if way in ("file", "input") else "http", {
            "http": "?answers=" + os.path.basename(file.name), "input": "?input=" + quote_plus(case.answers)}
            .get(way, ""))
        url = server.url if scheme == "http" else "file://" + os.path.abspath(site)
        browser.go(f"{url}/{query}" if query[:1] not in ("", "?") else f"{url}/trak{case.program}.html{query}")
        for line in case.answers.decode().splitlines() if typed else ():  # each after its prompt
            at = want[0].index(line + "\n", at)
            until(f"the prompt before {line}", lambda: browser.js(SHOWN)[0] == want[0][:at], 30)
            for key in [*line, "Enter"]:
                browser.key(key)
            at += len(line) + 1
        if typed:
            browser.key("d", ctrl=True)
        if case.open and want[0] is None:
            return  # its steps say what the page must show
        try:
            until("the page", lambda: browser.js(SHOWN) == want if want[0] is not None else
                  browser.js("Module.frames"), 120)
        except AssertionError:
            raise AssertionError(f"the page shows {browser.js(SHOWN)}, not {want}") from None


def run(site, cases, engine, way):
    with contextlib.ExitStack() as stack:
        profile = stack.enter_context(tempfile.TemporaryDirectory(ignore_cleanup_errors=True))
        server = stack.enter_context(serve(site))
        # One browser for all the cases, so they must all want WebGL or all not.
        browser = BROWSERS[engine](stack.enter_context(display()), profile, cases[0].webgl)
        stack.callback(browser.close)
        Page.server, Page.site = server, site  # for the steps that stop the server or change the site
        for case in cases:
            print(case.path, flush=True)  # the last one named fails, if one does
            dialogue(browser, server, site, case, way)
            case.run(Page(browser, engine, case), engine)
