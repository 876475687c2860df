"""Runs one window case: `window.py PROGRAM CASE_FILE`.

A case file holds one step a line; `#` starts a comment:
    answers 4 2 1 1 1 1 3     the program's answers, one a line
    valgrind                  run under memcheck (with Mesa's softpipe), not traced
    look NAME                 wait until the window shows pictures/NAME.png
    xdotool ARGS...           a real input event; %w stands for the window id
    wait SECONDS
    frame NAME                the first frame's GL calls must be calls/NAME.txt
    matrix NAME               the run's matrix calls must be calls/NAME.txt
The program runs on a private Xvfb under apitrace; the window must open at
(100, 50), 1024 x 700, keep redrawing, and end with status 0 when closed as a
window manager's close button does. With UPDATE=1, missing pictures and
call lists are written instead of compared (look at them before keeping).
"""

import ctypes
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TITLE = "Geometrija - prikaz zadatka"
GLXTRACE = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"
CONVERT = "/usr/bin/convert"  # a `convert` earlier on PATH may not be ImageMagick's
UPDATE = os.environ.get("UPDATE") == "1"


class Display:
    """A private Xvfb; -noreset keeps the pointer where it is between clients."""

    def __enter__(self):
        r, w = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0",
                                        "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                                       pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            self.env = dict(os.environ, DISPLAY=":" + f.readline().strip())
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait()

    def tool(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, check=True,
                              timeout=20).stdout


def until(what, probe, timeout=10):
    end = time.monotonic() + timeout
    while not (got := probe()):
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)
    return got


def start(d, program, answers, trace=None, wrapper=()):
    """The program, reading `answers`, and its window's id once the window
    shows; None for the id if the program ends first."""
    env = dict(d.env, ASAN_OPTIONS="detect_leaks=0:verify_asan_link_order=0")
    if trace:
        env.update(LD_PRELOAD=GLXTRACE, TRACE_FILE=trace)
    if wrapper:
        env.update(GALLIUM_DRIVER="softpipe")
    stdin = tempfile.TemporaryFile()
    stdin.write(answers.encode())
    stdin.seek(0)
    p = subprocess.Popen([*wrapper, program], stdin=stdin, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, env=env)

    def window():
        if p.poll() is not None:
            return "ended"
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$"],
                             env=d.env, capture_output=True).stdout.split()
        return ids and ids[0].decode()
    wid = until("the window", window, 120 if wrapper else 10)
    return p, None if wid == "ended" else wid


def picture(d, wid):
    return d.tool("import", "-window", wid, "-depth", "8", "rgb:-")


def look(d, wid, name):
    """Waits until the window shows the reference picture (of any size)."""
    path = os.path.join(HERE, "pictures", name + ".png")
    if UPDATE and not os.path.exists(path):
        until("a still picture", lambda: picture(d, wid) == picture(d, wid))
        d.tool("import", "-window", wid, path)
    want = subprocess.run([CONVERT, path, "-depth", "8", "rgb:-"], capture_output=True,
                          check=True).stdout
    end = time.monotonic() + 10
    while picture(d, wid) != want:
        if time.monotonic() > end:
            got = os.path.join(tempfile.gettempdir(), f"got-{name}.png")
            d.tool("import", "-window", wid, got)
            raise AssertionError(f"the window does not show {path}; it shows {got}")
        time.sleep(0.05)


def close(d, wid):
    """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.c_void_p]
    dpy = x11.XOpenDisplay(d.env["DISPLAY"].encode())
    event = (ctypes.c_long * 24)()
    # XClientMessageEvent: type, serial, send_event, display, window,
    # message_type, format, then the data longs.
    event[0], event[4] = 33, int(wid)
    event[5] = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
    event[6] = 32
    event[7] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(dpy, int(wid), 0, 0, event)
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay(dpy)


def calls(trace):
    """The traced GL calls, frame by frame, without the window system's."""
    text = subprocess.run(["apitrace", "dump", "--call-nos=no", "--color=never", trace],
                          capture_output=True, text=True, check=True).stdout
    frames, frame = [], []
    for line in text.splitlines():
        if line.startswith("glXSwapBuffers"):
            frames.append(frame)
            frame = []
        elif line.startswith("gl") and not line.startswith("glX") and "// fake" not in line:
            frame.append(line)
    return frames


def same(lines, name):
    path = os.path.join(HERE, "calls", name + ".txt")
    if UPDATE and not os.path.exists(path):
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
    with open(path) as f:
        want = f.read().splitlines()
    if lines != want:
        at = next(i for i in range(len(lines) + 1) if lines[i:i + 1] != want[i:i + 1])
        raise AssertionError(f"{path} line {at + 1}: expected {want[at:at + 1]}, "
                             f"traced {lines[at:at + 3]}")


MATRIX = re.compile(r"gl(MatrixMode|LoadIdentity|Viewport|MultMatrix|Translate|Rotate|Scale)")


def run_case(program, case):
    with open(case) as f:
        steps = [l.split("#")[0].split() for l in f]
    steps = [s for s in steps if s]
    answers = next(s[1:] for s in steps if s[0] == "answers")
    valgrind = any(s[0] == "valgrind" for s in steps)
    with tempfile.TemporaryDirectory() as tmp, Display() as d:
        trace = None if valgrind else os.path.join(tmp, "app.trace")
        wrapper = ["valgrind", "--error-exitcode=99", "--leak-check=full",
                   "--errors-for-leak-kinds=definite,indirect", "--quiet", "--keep-debuginfo=yes",
                   f"--suppressions={HERE}/valgrind.supp"] if valgrind else []
        p, wid = start(d, program, "\n".join(answers) + "\n", trace, wrapper)
        if wid is None:
            raise AssertionError(f"no window; status {p.returncode}: {p.stderr.read().decode()}")
        try:
            geometry = d.tool("xdotool", "getwindowgeometry", wid).decode()
            if "Position: 100,50" not in geometry or "Geometry: 1024x700" not in geometry:
                raise AssertionError(f"window placed wrongly: {geometry}")
            for step in steps:
                if step[0] == "look":
                    look(d, wid, step[1])
                elif step[0] == "xdotool":
                    d.tool(*(w.replace("%w", wid) for w in step))
                elif step[0] == "wait":
                    time.sleep(float(step[1]))
            time.sleep(0.3)  # a few more frames
            close(d, wid)
            status = p.wait(timeout=120 if valgrind else 10)
        finally:
            p.kill()
        if status != 0:
            raise AssertionError(f"status {status} after closing: {p.stderr.read().decode()}")
        if trace is None:
            return
        frames = calls(trace)
        if len(frames) < 5:
            raise AssertionError(f"only {len(frames)} frames drawn: no continuous redraw")
        for step in steps:
            if step[0] == "frame":
                same(frames[0], step[1])
            elif step[0] == "matrix":
                same([c for f in frames for c in f if MATRIX.match(c)], step[1])


if __name__ == "__main__":
    try:
        run_case(os.path.abspath(sys.argv[1]), sys.argv[2])
    except AssertionError as e:
        sys.exit(f"FAIL {os.path.basename(sys.argv[2])}: {e}")
