"""Runs one window case, `window.py [EMULATOR...] PROGRAM CASE_FILE`, on a private Xvfb; or cases in pages,
`window.py --page=ENGINE[.HOW] SITE CASE...`, each in SITE/PROGRAM.html in turn in one chromium, firefox or webkit.

A case file's lines are steps (`#` starts a comment): `answers A B ...` (one a line), `valgrind` (memcheck and
Mesa's softpipe instead of apitrace), `look NAME [N] [ENGINE=M...]` (wait until the window shows pictures/NAME.png,
but for at most N pixels drawn one pixel aside, M in ENGINE's page), `xdotool ARGS` (a real event; %w is the window
id), `frame NAME` (the first frame's GL calls are calls/NAME.txt) and `matrix NAME` (so are the run's matrix calls).
A window opens at (100, 50), 1024 x 700, keeps redrawing and ends with status 0 when closed as by a window manager;
under an emulator (wine), anywhere, and the steps end at its first `look`. UPDATE=1 writes missing pictures and call
lists. A page reads the answers from ?answers= (HOW: typed; file, typed from file://; input, ?input= from file://)
and ends the steps at a `windowsize`; its own are `touch X Y DX DY [X Y DX DY] [N]` (fingers at canvas pixels, moved
in N moves, lifted), `key KEY [N]` (must not scroll), `viewport [W H]` (the page must fit W; bare: 1280 x 1024),
`open file|http QUERY`, `nowebgl` and `engines E...` (read by CMake). Its #console and #errors must be NAME.out
(NAME.typed, echoes in, when typed) and NAME.err, status 1 with an .err."""

import base64
import difflib
import functools
import http.server
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
from urllib.parse import quote_plus
from urllib.request import Request, urlopen

HERE = os.path.dirname(os.path.abspath(__file__))
UPDATE = os.environ.get("UPDATE") == "1"
TRACER = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"
sys.dont_write_bytecode = True  # nothing written into scripts/
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from xwindow import close, display, picture, save, start, tool, until  # noqa: E402

MATRIX = re.compile(r"gl(MatrixMode|LoadIdentity|Viewport|MultMatrix|Translate|Rotate|Scale)")


def alike(got, want, w, slack):
    """Whether two RGB pictures are the same, or differ in at most `slack`
    pixels (of a picture `w` wide), each of whose colours lies at most one pixel
    away in the other: a line drawn a pixel aside, as renderers may turn lines."""
    if got == want or len(got) != len(want) or not slack:
        return got == want
    px = lambda p, i: p[3 * i:3 * i + 3] if i >= 0 else b""
    off = [i for i in range(len(got) // 3) if px(got, i) != px(want, i)]
    near = lambda p, q, i: any(px(q, i + y + x) == px(p, i) for y in (-w, 0, w) for x in (-1, 0, 1))
    return len(off) <= slack and all(near(got, want, i) and near(want, got, i) for i in off)


def look(picture, keep, name, slack=0):
    """Waits until `picture()` (RGB) is pictures/NAME.png, as `alike` says;
    else `keep(path)` writes the picture shown as a PNG, and it fails."""
    path = os.path.join(HERE, "pictures", name + ".png")
    if UPDATE and not os.path.exists(path):
        keep(path)
    # /usr/bin/convert: a `convert` earlier on PATH may not be ImageMagick's.
    want = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True).stdout
    width = int(subprocess.run(["/usr/bin/identify", "-format", "%w", path], capture_output=True).stdout)
    try:
        until(name, lambda: alike(picture(), want, width, int(slack)))
    except AssertionError:
        keep(got := os.path.join(tempfile.gettempdir(), name + ".png"))
        raise AssertionError(f"the window does not show {path}, but {got}")


def same(calls, name):
    path = os.path.join(HERE, "calls", name + ".txt")
    if UPDATE and not os.path.exists(path):
        open(path, "w").write("\n".join(calls) + "\n")
    diff = list(difflib.unified_diff(open(path).read().splitlines(), calls, path, "traced", lineterm="", n=1))
    assert not diff, "\n".join(diff[:30])


def read_case(case):  # its steps, and its answers as a program reads them
    steps = [s for s in (line.split("#")[0].split() for line in open(case)) if s]
    return steps, "".join(a + "\n" for a in next((s[1:] for s in steps if s[0] == "answers"), [])).encode()


def run_case(program, case, emulator=()):
    steps, answers = read_case(case)
    valgrind = ["valgrind"] in steps
    steps = steps[:[s[0] for s in steps].index("look") + 1] if emulator else steps
    with tempfile.TemporaryDirectory() as tmp, display() as d:
        trace = os.path.join(tmp, "app.trace")
        # Under sanitizers the GL driver's leaks cannot be suppressed (it is
        # unloaded first), and the tracer comes before the sanitizer.
        env = {} if emulator else {"GALLIUM_DRIVER": "softpipe"} if valgrind else {
            "ASAN_OPTIONS": "detect_leaks=0:verify_asan_link_order=0", "TRACE_FILE": trace,
            "LD_PRELOAD": TRACER}
        wrapper = ["valgrind", "--error-exitcode=99", "--leak-check=full", "--quiet",
                   "--errors-for-leak-kinds=definite,indirect", "--keep-debuginfo=yes",
                   f"--suppressions={HERE}/valgrind.supp"] if valgrind else emulator
        p, wid = start(d, program, answers, env, wrapper)
        try:
            geometry = wid and tool(d, "xdotool", "getwindowgeometry", wid).decode()
            at = "" if emulator else "Position: 100,50"  # wine draws its own frame
            assert wid and at in geometry and "Geometry: 1024x700" in geometry, \
                f"window {geometry}; status {p.poll()}: {p.stderr.read()}"
            for step in steps:
                if step[0] == "look":
                    look(lambda: picture(d, wid), lambda path: save(d, wid, path), *step[1:3])
                elif step[0] == "xdotool":
                    tool(d, *(word.replace("%w", wid) for word in step))
            time.sleep(2 if valgrind else 0.3)  # some more frames
            close(d, wid)
            if p.wait(timeout=120) != 0:
                raise AssertionError(f"status {p.returncode} on closing: {p.stderr.read()}")
        finally:
            p.kill()
        if valgrind or emulator:
            return
        dump = tool(d, "apitrace", "dump", "--call-nos=no", "--color=never", trace).decode()
    # The GL calls, a list a frame, without the window system's.
    frames = [g for f in re.split(r"^glXSwapBuffers.*\n", dump, flags=re.M)
              if (g := [c for c in f.splitlines() if re.match("gl[^X]", c) and "// fake" not in c])]
    assert len(frames) >= 5, f"only {len(frames)} frames drawn: no continuous redraw"
    for step in steps:
        if step[0] in ("frame", "matrix"):
            same(frames[0] if step[0] == "frame" else
                 [c for f in frames for c in f if MATRIX.match(c)], step[1])


KEYS = dict(Enter="\ue007", Tab="\ue004", ArrowLeft="\ue012", ArrowUp="\ue013", ArrowRight="\ue014", ArrowDown="\ue015")
RECT = "(scrollTo(0, 0), document.getElementById('canvas').getBoundingClientRect().toJSON())"  # the page at its top
SHOWN = "[...['console', 'errors'].map(id => document.getElementById(id).textContent), Module.exitStatus ?? null]"
spawned = []


def spawn(env, *argv):  # a browser or its driver, killed with its children at the end
    spawned.append(subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True))


class Browser:
    """Input as WebDriver actions, which every engine here takes."""

    def mouse(self, kind, x, y, button):
        press = [dict(type="pointer" + kind, button=button - 1)] if kind != "Move" else []
        self.perform([dict(type="pointer", id="mouse", actions=[dict(type="pointerMove", x=round(x), y=round(y))] + press)])

    def touch(self, paths):
        moves = lambda path: [dict(type="pointerMove", x=round(x), y=round(y)) for x, y in path]
        self.perform([dict(type="pointer", id=f"finger{n}", parameters=dict(pointerType="touch"), actions=[
            *moves(p[:1]), dict(type="pointerDown", button=0), *moves(p[1:]), dict(type="pointerUp", button=0)])
            for n, p in enumerate(paths)])

    def key(self, key, ctrl=False):
        keys = ["\ue009"] * ctrl + [KEYS.get(key, key)]  # WebDriver's codes
        self.perform([dict(type="key", id="keys", actions=[dict(type="keyDown", value=k) for k in keys] +
                           [dict(type="keyUp", value=k) for k in reversed(keys)])])


class Firefox(Browser):
    """Firefox ESR, headless, through WebDriver BiDi; its WebGL needs the display even so."""

    def __init__(self, env, profile, webgl):
        open(f"{profile}/user.js", "w").write(f"user_pref('webgl.disabled', {str(not webgl).lower()});")
        spawn(env, "firefox-esr", "--headless", "--remote-debugging-port=0", "--profile", profile, "--no-remote")
        port = until("WebDriver BiDi", lambda: json.load(open(f"{profile}/WebDriverBiDiServer.json"))["ws_port"], 30)
        ws = __import__("websocket").create_connection(f"ws://127.0.0.1:{port}/session", suppress_origin=True)
        self.socket, self.id = ws, 0  # python3-websocket
        self("session.new", capabilities={})
        self.context = dict(context=self("browsingContext.getTree")["contexts"][0]["context"])
        self.viewport(1280, 1024)
        self.go = lambda url: self("browsingContext.navigate", **self.context, url=url, wait="complete")

    def __call__(self, method, **params):
        self.id += 1
        self.socket.send(json.dumps(dict(id=self.id, method=method, params=params)))
        while (reply := json.loads(self.socket.recv())).get("id") != self.id:
            pass  # an event
        assert "error" not in reply, f"{method}: {reply}"
        return reply["result"]

    def js(self, expression):
        return json.loads(self("script.evaluate", expression=f"JSON.stringify({expression})", awaitPromise=False,
                               target=self.context)["result"].get("value", "null"))

    def shot(self):
        return base64.b64decode(self("browsingContext.captureScreenshot", **self.context)["data"])

    def viewport(self, w, h):
        self("browsingContext.setViewport", **self.context, viewport=dict(width=w, height=h))

    def perform(self, actions):
        self("input.performActions", **self.context, actions=actions)


class WebDriver(Browser):
    """A browser through classic WebDriver and the driver `argv` names."""

    def __init__(self, env, options, *argv):
        with socket.create_server(("127.0.0.1", 0)) as s:
            port = s.getsockname()[1]
        spawn(env, *argv, f"--port={port}")
        self.env, self.base = env, f"http://127.0.0.1:{port}"
        until(argv[0], lambda: self("GET", "/status")["ready"])
        self.base += "/session/" + self("POST", "/session", capabilities={"alwaysMatch": options})["sessionId"]
        self.viewport(1280, 1024)
        self.go = lambda url: self("POST", "/url", url=url)

    def __call__(self, method, path, **body):
        body = json.dumps(body).encode() if body else None
        return json.load(urlopen(Request(self.base + path, body, method=method), timeout=120))["value"]

    def js(self, expression):
        return self("POST", "/execute/sync", script="return " + expression, args=[])

    def shot(self):
        return base64.b64decode(self("GET", "/screenshot"))

    def perform(self, actions):
        self("POST", "/actions", actions=actions)


class Chromium(WebDriver):
    """Headless Chromium through chromedriver, which gives it WebDriver's touches as touch events."""

    def __init__(self, env, profile, webgl):
        super().__init__(env, {"goog:chromeOptions": {"binary": "/usr/lib/chromium/chromium", "args": [
            "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            f"--user-data-dir={profile}", *["--disable-webgl"] * (not webgl)]}}, "chromedriver")

    def viewport(self, w, h):  # narrower, as a phone, whose viewport meta tag counts
        self("POST", "/goog/cdp/execute", cmd="Emulation.setDeviceMetricsOverride",
             params=dict(width=w, height=h, deviceScaleFactor=1, mobile=w < 1280))


class WebKit(WebDriver):
    """WebKitGTK's MiniBrowser, its mouse real X input: WebDriver's reports every
    release as the left button's."""

    def __init__(self, env, profile, webgl):
        super().__init__(env, {"webkitgtk:browserOptions": {
            "binary": "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", "args": ["--automation"]}}, "WebKitWebDriver")
        self.origin = self.js("[screenX, screenY + outerHeight - innerHeight]")  # the page's, below the tool bar

    def viewport(self, w, h):  # through the window's size, with its tool bar
        self("POST", "/window/rect", width=w, height=h + self.js("outerHeight - innerHeight"))

    def mouse(self, kind, x, y, button):
        tool(self.env, "xdotool", "mousemove", str(round(x + self.origin[0])), str(round(y + self.origin[1])),
             *{"Down": ["mousedown", str(button)], "Up": ["mouseup", str(button)]}.get(kind, []))


def canvas(page, out="rgb:-"):  # cut from a shot of the viewport
    r = page.js(RECT)
    return tool(None, "/usr/bin/convert", "png:-", "-crop", "%dx%d+%d+%d" % (r["width"], r["height"], r["x"], r["y"]),
                "+repage", "-depth", "8", out, input=page.shot())


def drive(page, steps, engine):
    x = y = 0  # the mouse, in canvas pixels

    def at(*points):  # canvas pixels as the viewport's
        r = page.js(RECT)
        return [(r["x"] + px * r["width"] / 1024, r["y"] + py * r["width"] / 1024) for px, py in points]
    for kind, *args in steps:
        n = [float(a) for a in args if re.fullmatch(r"-?[\d.]+", a)]
        if kind == "look":
            look(lambda: canvas(page), lambda path: canvas(page, path), args[0],
                 dict(a.split("=") for a in args if "=" in a).get(engine, 0))
        elif args[:1] == ["windowsize"]:
            return  # a page's canvas keeps its size
        elif kind == "xdotool":
            if args[0].startswith("mousemove"):
                relative = args[0] == "mousemove_relative"
                x, y = x * relative + n[-2], y * relative + n[-1]
            page.mouse({"mousedown": "Down", "mouseup": "Up"}.get(args[0], "Move"), *at((x, y))[0], int(n[0]))
        elif kind == "touch":
            moves = int(n.pop()) if len(n) % 4 else 1
            page.touch([at(*((fx + dx * i / moves, fy + dy * i / moves) for i in range(moves + 1)))
                        for fx, fy, dx, dy in zip(*[iter(n)] * 4)])
        elif kind == "key":
            for _ in range(int(n[0]) if n else 1):
                page.key(args[0])
            assert not page.js("scrollX + scrollY"), f"{args[0]} scrolled the page"
        elif kind == "viewport":
            page.viewport(*map(int, n) if n else (1280, 1024))
            got = page.js("[innerWidth, document.documentElement.scrollWidth, ...['canvas', 'console', 'answer']"
                          ".map(id => document.getElementById(id).getBoundingClientRect().right)]")
            assert not n or got[0] == n[0] >= max(got), f"{n[0]} wide: width, scrolled width, right edges {got}"


def run_page(site, cases, engine, how="http"):
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *a: None})
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile, display() as d, \
            http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=site)) as server:
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            page = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[engine](
                d, profile, ["nowebgl"] not in read_case(cases[0])[0])
            for case in cases:
                print(os.path.basename(case), flush=True)  # the last one named fails, if one does
                page_case(page, f"http://127.0.0.1:{server.server_address[1]}", site, case, engine, how)
        finally:
            for p in spawned:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
            server.shutdown()


def page_case(page, server, site, case, engine, how):
    steps, answers = ([], open(case, "rb").read()) if case.endswith(".in") else read_case(case)
    base, typed, at = os.path.splitext(case)[0], how in ("typed", "file"), 0
    read = lambda ext: open(base + ext).read() if os.path.exists(base + ext) or ext == ".typed" else None
    want = [read(".typed" if typed else ".out"), read(".err") or ""]
    want.append(1 if want[1] and ["nowebgl"] not in steps else None)  # a page that cannot draw waits on
    with tempfile.NamedTemporaryFile(dir=site, prefix="answers-", suffix=".txt", buffering=0) as file:
        file.write(answers)
        scheme, query = next((s[1:] + [""] for s in steps if s[0] == "open"), [
            "file" if how in ("file", "input") else "http", {"http": "?answers=" + os.path.basename(file.name),
                                                             "input": "?input=" + quote_plus(answers)}.get(how, "")])[:2]
        url = server if scheme == "http" else "file://" + os.path.abspath(site)
        page.go(f"{url}/trak{os.path.basename(case).split('_')[0]}.html{query}")
        for line in answers.decode().splitlines() if typed else ():  # each after its prompt
            at = want[0].index(line + "\n", at)
            until(f"the prompt before {line}", lambda: page.js(SHOWN)[0] == want[0][:at], 30)
            for key in [*line, "Enter"]:
                page.key(key)
            at += len(line) + 1
        if typed:
            page.key("d", ctrl=True)
        try:
            until("the page", lambda: page.js(SHOWN) == want if want[0] is not None else page.js("Module.frames"), 120)
        except AssertionError:
            raise AssertionError(f"the page shows {page.js(SHOWN)}, not {want}")
        drive(page, steps, engine)


if __name__ == "__main__":
    try:
        if sys.argv[1].startswith("--page="):
            run_page(sys.argv[2], sys.argv[3:], *sys.argv[1][7:].split("."))
        else:
            run_case(os.path.abspath(sys.argv[-2]), sys.argv[-1], sys.argv[1:-2])
    except AssertionError as e:  # a page's case is the last one printed
        sys.exit(f"FAIL {e}" if sys.argv[1].startswith("--page=") else f"FAIL {os.path.basename(sys.argv[-1])}: {e}")
