"""Runs one window case, `window.py [EMULATOR...] PROGRAM CASE_FILE`, on a private Xvfb.

Each line of a case file is a step (`#` starts a comment): `answers A B ...`
(one a line), `valgrind` (run under memcheck and Mesa's softpipe instead of
apitrace), `look NAME [N [M]]` (wait until the window shows pictures/NAME.png,
but for at most N pixels drawn one pixel aside, M in a browser), `xdotool
ARGS` (a real event; %w is the window id), `frame NAME` (the first frame's GL
calls are calls/NAME.txt) and `matrix NAME` (so are the run's matrix calls).
Every window must open at (100, 50), 1024 x 700, keep redrawing and end with
status 0 when closed as by a window manager. With UPDATE=1, missing pictures
and call lists are written (check them by eye). Under an emulator (wine), a
window anywhere and its first `look` only.

`window.py --page[=typed] SITE PROGRAM CASE` runs a case in SITE/PROGRAM.html
in headless Chromium instead, its answers read through `?answers=` or typed,
its steps up to a `windowsize`; a transcript (NAME.in) must leave NAME.out in
the console (echoes aside) and NAME.err, if any, in the errors, and status 1.
"""

import base64
import contextlib
import ctypes
import difflib
import functools
import http.server
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time
from urllib.request import urlopen

HERE = os.path.dirname(os.path.abspath(__file__))
UPDATE = os.environ.get("UPDATE") == "1"
TRACER = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"
MATRIX = re.compile(r"gl(MatrixMode|LoadIdentity|Viewport|MultMatrix|Translate|Rotate|Scale)")


@contextlib.contextmanager
def display():
    """A private Xvfb, as the environment of the programs run on it;
    -noreset keeps the pointer where it is between clients."""
    r, w = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp", "-noreset"], pass_fds=(w,),
                              stderr=subprocess.DEVNULL)
    os.close(w)
    try:
        yield dict(os.environ, DISPLAY=":" + os.fdopen(r).readline().strip())
    finally:
        server.terminate()
        server.wait()


def tool(env, *argv, input=None):
    return subprocess.run(argv, env=env, input=input, capture_output=True, check=True, timeout=20).stdout


def until(what, probe, timeout=10):
    end = time.monotonic() + timeout
    while not (got := probe()):
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)
    return got


def start(d, program, answers, env=(), wrapper=()):
    """The program reading `answers`, and its window's id once the window
    shows (None if the program ends first)."""
    p = subprocess.Popen([*wrapper, program], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, env=dict(d, **dict(env)))
    p.stdin.write(answers)
    p.stdin.close()
    wid = until("the window", lambda: ["ended"] if p.poll() is not None else subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", "^Geometrija - prikaz zadatka$"],
        env=d, capture_output=True).stdout.decode().split()[:1], 120 if wrapper else 10)[0]
    return p, None if wid == "ended" else wid


def picture(d, wid):
    return tool(d, "import", "-window", wid, "-depth", "8", "rgb:-")


def save(d, wid, path):
    """Writes the window's picture, once it stands still, as a PNG."""
    until("a still picture", lambda: picture(d, wid) == picture(d, wid))
    tool(d, "import", "-window", wid, path)


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


def close(d, wid):
    """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x11.XOpenDisplay(d["DISPLAY"].encode()))
    # An XClientMessageEvent: type, serial, send_event, display, window,
    # message_type, format, then its data.
    event = (ctypes.c_long * 24)(33, 0, 0, 0, int(wid), x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0),
                                 32, x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0))
    x11.XSendEvent(dpy, int(wid), 0, 0, event)
    x11.XCloseDisplay(dpy)


def same(calls, name):
    path = os.path.join(HERE, "calls", name + ".txt")
    if UPDATE and not os.path.exists(path):
        open(path, "w").write("\n".join(calls) + "\n")
    diff = list(difflib.unified_diff(open(path).read().splitlines(), calls, path, "traced", lineterm="", n=1))
    if diff:
        raise AssertionError("\n".join(diff[:30]))


def read_case(case):  # its steps, and its answers as a program reads them
    steps = [s for s in (line.split("#")[0].split() for line in open(case)) if s]
    return steps, "".join(a + "\n" for a in next(s[1:] for s in steps if s[0] == "answers")).encode()


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
            if not wid or at not in geometry or "Geometry: 1024x700" not in geometry:
                raise AssertionError(f"window {geometry}; status {p.poll()}: {p.stderr.read()}")
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
    if len(frames) < 5:
        raise AssertionError(f"only {len(frames)} frames drawn: no continuous redraw")
    for step in steps:
        if step[0] in ("frame", "matrix"):
            same(frames[0] if step[0] == "frame" else
                 [c for f in frames for c in f if MATRIX.match(c)], step[1])


class Chromium:
    """A headless Chromium showing `url`, called through its DevTools."""

    def __init__(self, url, profile):
        import websocket  # Debian's python3-websocket, for pages only
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--remote-debugging-port=0", "--window-size=1280,1024", f"--user-data-dir={profile}", url],
            stderr=subprocess.DEVNULL, start_new_session=True)
        port = until("DevTools", lambda: open(f"{profile}/DevToolsActivePort").readline().strip()
                     if os.path.exists(f"{profile}/DevToolsActivePort") else None)
        page = next(t for t in json.load(urlopen(f"http://127.0.0.1:{port}/json")) if t["type"] == "page")
        self.socket, self.id = websocket.create_connection(page["webSocketDebuggerUrl"]), 0

    def __call__(self, method, **params):
        self.id += 1
        self.socket.send(json.dumps(dict(id=self.id, method=method, params=params)))
        while (reply := json.loads(self.socket.recv())).get("id") != self.id:
            pass
        if "error" in reply:
            raise AssertionError(f"{method}: {reply['error']}")
        return reply["result"]

    def js(self, expression):
        return self("Runtime.evaluate", expression=expression, returnByValue=True)["result"].get("value")

    def key(self, key, text="", **more):
        for kind, t in (("keyDown", text), ("keyUp", "")):
            self("Input.dispatchKeyEvent", type=kind, key=key, text=t, **more)

    def shot(self):
        """The canvas as a PNG."""
        clip = self.js("(r => ({x: r.x + scrollX, y: r.y + scrollY, width: r.width, height: r.height, "
                       "scale: 1}))(document.getElementById('canvas').getBoundingClientRect())")
        return base64.b64decode(self("Page.captureScreenshot", clip=clip)["data"])


def drive(page, steps):  # from the page's top: typing scrolls, and a shot leaves out what is out of view
    at = page.js("(scrollTo(0, 0), (r => [r.x, r.y])(document.getElementById('canvas').getBoundingClientRect()))")
    x = y = 0
    mouse = lambda kind, dx=0, button="none": page(
        "Input.dispatchMouseEvent", type=kind, x=at[0] + x + dx, y=at[1] + y, button=button, clickCount=1)
    for kind, *args in (s for s in steps if s[0] in ("look", "xdotool")):
        if kind == "look":  # its second number holds in a browser
            look(lambda: tool(None, "/usr/bin/convert", "png:-", "-depth", "8", "rgb:-", input=page.shot()),
                 lambda path: open(path, "wb").write(page.shot()), args[0], *args[2:])
        elif args[0] == "windowsize":
            return  # a page's canvas keeps its size
        elif args[0].startswith("mousemove"):
            relative = args[0] == "mousemove_relative"
            x, y = x * relative + int(args[-2]), y * relative + int(args[-1])
            mouse("mouseMoved")
        elif args[0] == "mousedown":
            mouse("mousePressed", 0, "left middle right".split()[int(args[1]) - 1])
        else:
            mouse("mouseReleased", 0, "left middle right".split()[int(args[1]) - 1])
            mouse("mouseMoved")


def run_page(site, program, case, typed):
    transcript = case.endswith(".in")
    steps, answers = ([], open(case, "rb").read()) if transcript else read_case(case)
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile, \
            tempfile.NamedTemporaryFile(dir=site, prefix="answers-", suffix=".txt") as file:
        file.write(answers)
        file.flush()
        quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *a: None})
        with http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=site)) as server:
            threading.Thread(target=server.serve_forever, daemon=True).start()
            page = Chromium(f"http://127.0.0.1:{server.server_address[1]}/{program}.html"
                            + ("" if typed else "?answers=" + os.path.basename(file.name)), profile)
            try:
                until("the page", lambda: page.js("typeof Module == 'object' && 'frames' in Module"))
                for line in answers.decode().splitlines() if typed else ():
                    for ch in line:
                        page.key(ch, ch)
                    page.key("Enter", "\r", code="Enter", windowsVirtualKeyCode=13)
                if typed:  # and Ctrl-D
                    page.key("d", code="KeyD", modifiers=2, windowsVirtualKeyCode=68)
                until("the window or the end", lambda: page.js("Module.frames > 0 || 'exitStatus' in Module"))
                if transcript:
                    want = [open(f, "rb").read().decode() if os.path.exists(f := case[:-3] + ext) else ""
                            for ext in (".out", ".err")]
                    got = page.js("[[...document.getElementById('console').childNodes].filter(n => "
                                  "n.className != 'echo').map(n => n.textContent).join(''), document."
                                  "getElementById('errors').textContent, Module.exitStatus ?? null]")
                    if got != want + [1 if want[1] else None]:
                        raise AssertionError(f"the page shows {got}, not {want}")
                drive(page, steps)
            finally:
                os.killpg(page.process.pid, signal.SIGKILL)
                page.process.wait()
                server.shutdown()


if __name__ == "__main__":
    try:
        if sys.argv[1].startswith("--page"):
            run_page(*sys.argv[2:], sys.argv[1] == "--page=typed")
        else:
            run_case(os.path.abspath(sys.argv[-2]), sys.argv[-1], sys.argv[1:-2])
    except AssertionError as e:
        sys.exit(f"FAIL {os.path.basename(sys.argv[-1])}: {e}")
