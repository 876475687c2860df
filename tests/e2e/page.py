"""The page backend: cases in the programs' pages, one after another in one browser, served by a
private web server or opened from files. #console and #errors must show NAME.out (NAME.typed,
echoes in, when typed) and NAME.err, with status 1 if there is an .err; else the window must show.
Real input waits until the page has taken it. page.js is what the steps ask of the page."""

import contextlib
import hashlib
import json
import os
import shutil
import tempfile
import time
from urllib.parse import quote_plus

from drivers.bidi import Firefox
from steps import HERE, look
from drivers.webdriver import Chromium, WebKit, serve
from drivers.xwindow import display, tool, until

BROWSERS = dict(chromium=Chromium, firefox=Firefox, webkit=WebKit)
AXE = os.path.join(HERE, "node_modules", "axe-core", "axe.min.js")


def go(browser, url):
    """Opens `url` and puts page.js into the page."""
    browser.go(url)
    browser.js("((0, eval)(%s), 1)" % json.dumps(open(os.path.join(HERE, "page.js")).read()))


class Page:
    """The steps on a page's canvas, in canvas pixels, whatever size the page shows it."""

    def __init__(self, browser, engine, case):
        self.browser, self.js, self.engine, self.case = browser, browser.js, engine, case
        self.x = self.y = 0  # the mouse
        self.drawn_before = self.js("trak.drawn()")

    def taken(self, event, act, count=1):
        """Does `act` and waits until the page has been given `count` more `event`s."""
        before = self.js("trak.seen")[event]
        act()
        taken = lambda: self.js("trak.seen")[event] - before >= count
        until(f"the page to take the {event}", taken, 30)

    def at(self, *points):  # canvas pixels as the viewport's
        r = self.js("trak.rect('canvas')")
        scale = r["width"] / 1024
        return [(r["x"] + px * scale, r["y"] + py * scale) for px, py in points]

    def look(self, name, slack=0, *engines):
        slack = dict(e.split("=") for e in engines).get(self.engine, 0)
        look(self.canvas, self.canvas, name, slack)

    def canvas(self, out="rgb:-"):  # cut from a shot of the viewport
        box = "%(width)dx%(height)d+%(x)d+%(y)d" % self.js("trak.rect('canvas')")
        return tool(None, "/usr/bin/convert", "png:-", "-crop", box, "+repage", "-depth", "8", out,
                    input=self.browser.shot())

    def mouse(self, kind, x, y, button=1):
        moved, (self.x, self.y) = (x, y) != (self.x, self.y), (x, y)
        if kind != "Move" or moved:
            act = lambda: self.browser.mouse(kind, *self.at((x, y))[0], int(button))
            self.taken("mouse" + kind.lower(), act)

    point = lambda self, x, y: self.mouse("Move", float(x), float(y))
    move = lambda self, dx, dy: self.mouse("Move", self.x + float(dx), self.y + float(dy))
    press = lambda self, button: self.mouse("Down", self.x, self.y, button)
    release = lambda self, button: self.mouse("Up", self.x, self.y, button)

    def click(self, id):
        r = self.js(f"trak.rect('{id}')")
        for kind in ("Down", "Up"):
            at = (r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)
            self.taken("mouse" + kind.lower(), lambda: self.browser.mouse(kind, *at, 1))

    def holds(self, problem):
        """Waits until `problem()` finds none: a page may still be opening its window, or settling
        after a resize or a key, when the step comes. Fails with the last problem found."""
        try:
            until("the page", lambda: not problem(), 10)
        except AssertionError:
            raise AssertionError(problem()) from None

    def focused(self, id):
        self.holds(lambda: (got := self.js("document.activeElement.id")) != id and f"{got} has it")

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
        for key in (k for word in words for k in [*word, "Enter"]):
            self.key(key)

    def attr(self, id, name, *value):
        get = f"document.getElementById('{id}').getAttribute('{name}')"
        self.holds(lambda: (got := self.js(get)) != " ".join(value) and f"{name} is {got!r}")

    def path(self):
        want = open(self.case.base + ".path").read().strip()
        self.holds(lambda: (got := self.js("trak.path()").strip()) != want
                   and f"the path listed: {got[:300]}")

    def inview(self, *ids):
        def out(id):
            r, w, h = self.js(f"trak.rect('{id}')"), self.js("innerWidth"), self.js("innerHeight")
            if not (0 <= r["left"] and 0 <= r["top"] and r["right"] <= w and r["bottom"] <= h):
                return f"{id} at {r} in {w} x {h}"
            return id == "canvas" and r["width"] < min(w / 2, 300) and f"{r['width']} wide of {w}"
        for id in ids:
            self.holds(lambda: out(id))

    def axe(self):
        source = json.dumps(open(AXE).read())
        self.js(f"((0, eval)({source}), trak.violations = null, trak.axe(), 1)")
        violations = until("axe", lambda: self.js("trak.violations && [trak.violations]"), 60)[0]
        assert not violations, "; ".join(violations)

    def drawn(self, most=None, wait=None):  # `still` when it waits: then no frame may be drawn
        before = self.js("trak.drawn()") if wait else self.drawn_before
        time.sleep(float(wait or 0))
        if not wait:  # a step's frame comes at the display refresh after the step was taken
            self.holds(lambda: self.js("trak.drawn()")["frames"] == before["frames"] and "no frame")
        self.drawn_before = self.js("trak.drawn()")
        frames, sent = (self.drawn_before[k] - before[k] for k in ("frames", "bytes"))
        assert (frames > 0) != bool(wait), f"{frames} frames drawn"
        assert most is None or sent <= int(most), f"{sent} bytes sent"

    still = lambda self, seconds: self.drawn(wait=seconds)

    def viewport(self, w=1280, h=1024):
        self.browser.viewport(int(w), int(h))
        self.holds(lambda: not ((got := self.js("trak.widths()"))[0] == int(w) >= max(got))
                   and f"{w} wide: width, scrolled width, right edges {got}")

    kept = lambda self: until("the site kept by its worker", lambda: self.js("trak.kept()"), 30)
    # Connections refused, as with no network.
    offline = lambda self: (self.kept(), self.server.shutdown(), self.server.server_close())

    def again(self, way, query=None):
        self.case.open = query and ["http", query]
        dialogue(self.browser, self.server, self.site, self.case, way)

    def rebuilt(self):
        before, self.tmp = self.kept(), tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
        site = shutil.copytree(self.site, self.tmp.name + "/site",
                               ignore=shutil.ignore_patterns("answers-*", "Test*"))
        tool(None, "sed", "-i", "s|</title>| (2)</title>|", f"{site}/trak{self.case.program}.html")
        tool(None, "cmake", "-DSITE=" + site, "-P", f"{HERE}/../../cmake/serviceworker.cmake")
        self.server.RequestHandlerClass.keywords["directory"] = self.site = site  # the same address
        go(self.browser, self.server.url + "/index.html")
        until("the new site kept alone", lambda: (k := self.kept()) != before and len(k) == 1, 30)

    def served(self, file, *addresses):
        want = open(f"{self.site}/{file}", "rb").read()
        for url in (f"{self.server.url}/{a}" for a in addresses or [file]):
            self.js(f"(trak.digested = null, trak.digest({json.dumps(url)}), 1)")
            got = until("the file fetched", lambda: self.js("trak.digested"), 30)
            assert got == hashlib.sha256(want).hexdigest(), f"{url}: {got}"
            if file.endswith(".html"):
                go(self.browser, url)
                title = until("a title", lambda: self.js("document.title"), 30)
                assert f"<title>{title}</title>".encode() in want, f"{url} shows {title!r}"

    def manifest(self):
        errors = self.browser.cdp("Page.getInstallabilityErrors")["installabilityErrors"]
        assert not errors, errors
        got = self.browser.cdp("Page.getAppManifest")
        read = json.loads(json.dumps(got["manifest"]).replace(self.server.url + "/", ""))
        urls = json.dumps([i["url"] for i in read["icons"]])
        self.js(f"(trak.shownSizes = null, trak.sizes({urls}), 1)")
        got = {"as written": json.loads(got["data"]), "as read": read,
               "icons shown": until("the icons", lambda: self.js("trak.shownSizes")).split(",")}
        holds = lambda w, g: (w.keys() <= g.keys() and all(holds(w[k], g[k]) for k in w)
                              if isinstance(w, dict) else len(w) == len(g) and all(map(holds, w, g))
                              if isinstance(w, list) else w == g)
        assert holds(json.load(open(self.case.base + ".manifest")), got), json.dumps(got)


def dialogue(browser, server, site, case, way):
    """Opens the case's page, gives it the answers in `way`, and waits until it shows what it must:
    NAME.out or (typed) NAME.typed and NAME.err, or else the window."""
    typed, at = way in ("typed", "file"), 0
    read = lambda ext: open(case.base + ext).read() if os.path.exists(case.base + ext) else None
    want = [read(".typed") if typed else read(".out"), read(".err") or ""]
    want.append(1 if want[1] and case.webgl else None)  # a page that cannot draw waits on
    with tempfile.NamedTemporaryFile(dir=site, prefix="answers-", suffix=".txt",
                                     buffering=0) as file:
        file.write(case.answers)
        scheme, query = (case.open + [""])[:2] if case.open else (
            "file" if way in ("file", "input") else "http",
            {"http": "?answers=" + os.path.basename(file.name),
             "input": "?input=" + quote_plus(case.answers)}.get(way, ""))
        url = server.url if scheme == "http" else "file://" + os.path.abspath(site)
        go(browser, f"{url}/{query}" if query[:1] not in ("", "?") else
           f"{url}/trak{case.program}.html{query}")
        for line in case.answers.decode().splitlines() if typed else ():  # each after its prompt
            at = want[0].index(line + "\n", at)
            until(f"the prompt before {line}",
                  lambda: browser.js("trak.shown()")[0] == want[0][:at], 30)
            for key in [*line, "Enter"]:
                browser.key(key)
            at += len(line) + 1
        if typed:
            browser.key("d", ctrl=True)
        if case.open and want[0] is None:
            return  # its steps say what the page must show
        try:
            until("the page", lambda: browser.js("trak.shown()") == want if want[0] is not None else
                  browser.js("Module.frames"), 120)
        except AssertionError:
            got = browser.js("trak.shown()")
            raise AssertionError(f"the page shows {got}, not {want}") from None


def run(site, cases, engine, way):
    with contextlib.ExitStack() as stack:
        profile = stack.enter_context(tempfile.TemporaryDirectory(ignore_cleanup_errors=True))
        server = stack.enter_context(serve(site))
        # One browser for all the cases, so they must all want WebGL or all not.
        browser = BROWSERS[engine](stack.enter_context(display()), profile, cases[0].webgl)
        stack.callback(browser.close)
        Page.server, Page.site = server, site  # for the steps that stop it or change the site
        for case in cases:
            print(case.path, flush=True)  # the last one named fails, if one does
            dialogue(browser, server, site, case, way)
            case.run(Page(browser, engine, case), engine)
