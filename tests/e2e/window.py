"""Runs one window case, `window.py [EMULATOR...] PROGRAM CASE_FILE`, on a private Xvfb.

Each line of a case file is a step (`#` starts a comment): `answers A B ...`
(one a line), `valgrind` (run under memcheck and Mesa's softpipe instead of
apitrace), `look NAME [N]` (wait until the window shows pictures/NAME.png,
but for at most N pixels drawn one pixel aside), `xdotool ARGS` (a real
event; %w is the window id), `frame NAME` (the first frame's GL calls are
calls/NAME.txt) and `matrix NAME` (so are the run's matrix calls). Every window must open at (100, 50), 1024 x 700, keep
redrawing and end with status 0 when closed as by a window manager. With
UPDATE=1, missing pictures and call lists are written (check them by eye).
Under an emulator (wine), a window anywhere and its first `look` only.
"""

import contextlib
import ctypes
import difflib
import os
import re
import subprocess
import sys
import tempfile
import time

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


def tool(env, *argv):
    return subprocess.run(argv, env=env, capture_output=True, check=True, timeout=20).stdout


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
    p.stdin.write(answers.encode())
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


def look(d, wid, name, slack=0):
    path = os.path.join(HERE, "pictures", name + ".png")
    if UPDATE and not os.path.exists(path):
        save(d, wid, path)
    # /usr/bin/convert: a `convert` earlier on PATH may not be ImageMagick's.
    want = tool(d, "/usr/bin/convert", path, "-depth", "8", "rgb:-")
    width = int(tool(d, "/usr/bin/identify", "-format", "%w", path))
    try:
        until(name, lambda: alike(picture(d, wid), want, width, int(slack)))
    except AssertionError:
        tool(d, "import", "-window", wid, got := os.path.join(tempfile.gettempdir(), name + ".png"))
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
    diff = list(difflib.unified_diff(open(path).read().splitlines(), calls, path, "traced",
                                     lineterm="", n=1))
    if diff:
        raise AssertionError("\n".join(diff[:30]))


def run_case(program, case, emulator=()):
    steps = [s for s in (line.split("#")[0].split() for line in open(case)) if s]
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
        answers = next(s[1:] for s in steps if s[0] == "answers")
        p, wid = start(d, program, "\n".join(answers) + "\n", env, wrapper)
        try:
            geometry = wid and tool(d, "xdotool", "getwindowgeometry", wid).decode()
            at = "" if emulator else "Position: 100,50"  # wine draws its own frame
            if not wid or at not in geometry or "Geometry: 1024x700" not in geometry:
                raise AssertionError(f"window {geometry}; status {p.poll()}: {p.stderr.read()}")
            for step in steps:
                if step[0] == "look":
                    look(d, wid, *step[1:])
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
    frames = [[c for c in f.splitlines() if re.match("gl[^X]", c) and "// fake" not in c]
              for f in re.split(r"^glXSwapBuffers.*\n", dump, flags=re.M)]
    frames = [f for f in frames if f]
    if len(frames) < 5:
        raise AssertionError(f"only {len(frames)} frames drawn: no continuous redraw")
    for step in steps:
        if step[0] in ("frame", "matrix"):
            same(frames[0] if step[0] == "frame" else
                 [c for f in frames for c in f if MATRIX.match(c)], step[1])


if __name__ == "__main__":
    try:
        run_case(os.path.abspath(sys.argv[-2]), sys.argv[-1], sys.argv[1:-2])
    except AssertionError as e:
        sys.exit(f"FAIL {os.path.basename(sys.argv[-1])}: {e}")
