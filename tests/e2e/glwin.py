"""Driving a program's GLUT window from outside, for the end-to-end tests.

Everything runs on a private virtual X display with Mesa's software
renderer; the GL calls are read from an apitrace trace, the picture from
xwd, and the mouse is driven with xdotool. Python standard library only.

    with Display() as d:
        with run(d, program, "4\\n2\\n1\\n1\\n1\\n1\\n0\\n", trace_path=t) as p:
            wid = p.window()           # polls for the window by its title
            x, y, w, h = p.geometry()
            shot = p.screenshot()      # shot.pixel(col, row) -> (r, g, b)
            p.mouse_move(10, 20)       # window pixels
            p.mouse_down(3); p.mouse_move_relative(-5, 0); p.mouse_up(3)
            status = p.close()         # as a window manager's close button
        frames = read_trace(t)         # [[Call(no, name, args), ...], ...] per frame
        calls = [brief(c) for c in gl_calls(frames[0])]   # ("glVertex3f", x, y, z)
        check(calls[i:j] == segment_calls(a, b, BLACK) + point_calls(p, BLUE),
              diff_calls(calls[i:j], ...))
        drawn = batches(frames[0])     # [Batch(colour, mode, size, vertices)]

    frames, stdout = traced(program, input_text)  # run 0.5 s, close, read the trace
    check_frames(frames, fov, cam, shapes)        # set-up, drawing, continuous redraw
        legs = [b.vertices for b in drawn if b.colour == RED and b.mode == "GL_LINES"]

Frames end at the swap: frame 0 holds the set-up, the first reshape and
the first drawing; a matrix call made in a mouse callback shows in the
frame after it. The window's pixels are also left unread until screenshot()
sees two captures alike, since the scene is redrawn without pause.

Predicting pixels of the first view (pure arithmetic, no display):

    low, high = bounds_of(points)             # the scene's running bounds
    cam = camera(low, high)                   # (centre_x, centre_y, distance)
    wx, wy = project(p, cam, fov=30)          # GL window coordinates
    col, row = line_pixel(wx, wy)             # picture pixel under it
    block = point_block(wx, wy)               # the 4 x 4 pixels of a dot

A test script ends with main({"case": function_of_program_path, ...}) and is
run as `python3 script.py PROGRAM CASE` by CTest; check(ok, message) fails it.

Coordinates: GL window coordinates count y from the bottom; picture pixels
(screenshots, mouse) count rows from the top. A required tool that is
missing raises ToolMissing: CI installs them, so tests fail rather than skip.
"""

import collections
import ctypes
import difflib
import math
import os
import pickle
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

TITLE = "Geometrija - prikaz zadatka"
WINDOW = (100, 50, 1024, 700)  # x, y, width, height as opened
CLEAR = (230, 230, 204)        # the clear colour (0.9, 0.9, 0.8) on screen
GLXTRACE = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"
CONVERT = "/usr/bin/convert"   # a `convert` earlier on PATH may not be ImageMagick's

TIMEOUT = 10.0  # seconds; generous, since two cores may be shared


class ToolMissing(RuntimeError):
    pass


def need(*tools):
    """Raises ToolMissing unless every tool is installed."""
    for tool in tools:
        found = os.path.exists(tool) if tool.startswith("/") else shutil.which(tool)
        if not found:
            raise ToolMissing(f"{tool} is not installed (scripts/setup installs it)")


def _wait_until(what, probe, timeout=TIMEOUT, every=0.05):
    """Calls probe() every `every` seconds until it returns something true."""
    end = time.monotonic() + timeout
    while True:
        got = probe()
        if got:
            return got
        if time.monotonic() > end:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(every)


# --- the display -----------------------------------------------------------

class Display:
    """A private Xvfb server; `name` is its DISPLAY value.

    -noreset keeps the server (and the pointer) as it is when its last
    client leaves. Programs started with run() are killed at exit too.
    """

    def __init__(self):
        need("Xvfb", "xdotool", "xwininfo", "xwd", CONVERT)
        self.name = None
        self.server = None
        self.programs = []

    def __enter__(self):
        r, w = os.pipe()
        self.log = tempfile.TemporaryFile()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(w,), stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        os.close(w)
        # Xvfb writes the number once it listens, then the line break on its
        # own: it dies if the pipe is closed in between, so read the line.
        with os.fdopen(r, "rb") as f:
            number = f.readline().strip().decode()
        if not number:
            self._stop()
            self.log.seek(0)
            raise RuntimeError(f"Xvfb did not start: {self.log.read().decode(errors='replace')}")
        self.name = ":" + number
        return self

    def __exit__(self, *exc):
        for p in self.programs:
            p.kill()
        self._stop()
        return False

    def _stop(self):
        if self.server is not None and self.server.poll() is None:
            self.server.terminate()
            try:
                self.server.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()

    def env(self):
        e = dict(os.environ, DISPLAY=self.name)
        e.pop("XAUTHORITY", None)
        return e

    def tool(self, *argv):
        """Runs an X client on this display and returns its standard output."""
        done = subprocess.run(argv, env=self.env(), capture_output=True,
                              timeout=TIMEOUT, check=True)
        return done.stdout


# --- the program -----------------------------------------------------------

def run(display, program, input_text, trace_path=None, wrapper=(), extra_env=None):
    """Starts `program` on `display` with `input_text` as its standard input.

    With trace_path, the GL calls are traced into that file by preloading
    apitrace's GLX wrapper into the program's own process (so signals reach
    the program itself, not a wrapper). `wrapper` is a command put before
    the program (a checker such as valgrind); extra_env adds variables.
    """
    env = display.env()
    # For a build with AddressSanitizer: the GL driver leaves memory behind
    # at exit and is unloaded before the leak check, so no suppression can
    # name it (the unit tests check our own code for leaks); and the tracer
    # is preloaded ahead of the sanitizer's runtime.
    env["ASAN_OPTIONS"] = ":".join(filter(None, [
        env.get("ASAN_OPTIONS"), "detect_leaks=0", "verify_asan_link_order=0"]))
    if trace_path is not None:
        need(GLXTRACE, "apitrace")
        if os.path.exists(trace_path):
            os.remove(trace_path)
        env.update(LD_PRELOAD=GLXTRACE, TRACE_FILE=str(trace_path))
    env.update(extra_env or {})
    p = Program(display, [*wrapper, program], input_text, env)
    display.programs.append(p)
    return p


class Program:
    """A running program and its window; see run()."""

    def __init__(self, display, command, input_text, env):
        self.display = display
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        with tempfile.TemporaryFile() as stdin:
            stdin.write(input_text.encode())
            stdin.seek(0)
            self.proc = subprocess.Popen(command, stdin=stdin, stdout=self.out,
                                         stderr=self.err, env=env)
        self.wid = None
        self.origin = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()
        return False

    def output(self):
        """(stdout, stderr) so far, as text."""
        texts = []
        for f in (self.out, self.err):
            f.seek(0)
            texts.append(f.read().decode(errors="replace"))
        return tuple(texts)

    def _ended(self, what):
        out, err = self.output()
        return AssertionError(f"{what}: the program ended with status "
                              f"{self.proc.returncode}\nstdout:\n{out[-2000:]}"
                              f"\nstderr:\n{err[-2000:]}")

    def window(self, timeout=TIMEOUT):
        """The window's id, once it is mapped; found by its exact title."""
        if self.wid is None:
            def probe():
                if self.proc.poll() is not None:
                    raise self._ended("no window")
                found = subprocess.run(
                    ["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$"],
                    env=self.display.env(), capture_output=True, timeout=TIMEOUT)
                ids = found.stdout.split()
                return int(ids[0]) if found.returncode == 0 and ids else None
            self.wid = _wait_until("the window", probe, timeout)
            x, y, _, _ = self.geometry()
            self.origin = (x, y)
        return self.wid

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        info = self.display.tool("xwininfo", "-id", str(self.window())).decode()
        fields = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            fields[key] = value.strip()
        return tuple(int(fields[k]) for k in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def capture(self):
        """One picture of the window as it is now."""
        wid = str(self.window())
        xwd = subprocess.Popen(["xwd", "-id", wid, "-silent"], env=self.display.env(),
                               stdout=subprocess.PIPE)
        try:
            ppm = subprocess.run([CONVERT, "xwd:-", "ppm:-"], stdin=xwd.stdout,
                                 capture_output=True, timeout=TIMEOUT, check=True).stdout
        finally:
            xwd.stdout.close()
            xwd.wait(timeout=TIMEOUT)
        return Picture.from_ppm(ppm)

    def screenshot(self):
        """A picture of the window once its drawing has settled: two captures
        in a row alike and the clear colour somewhere in them. The scene is
        redrawn without pause, so an early capture may predate the first
        frame or the last mouse event."""
        last = [None]

        def probe():
            if self.proc.poll() is not None:
                raise self._ended("no picture")
            shot = self.capture()
            settled = last[0] is not None and shot.data == last[0].data
            last[0] = shot
            return shot if settled and shot.contains(CLEAR) else None
        return _wait_until("a settled picture", probe)

    # Mouse: positions are window pixels (rows from the top). No --sync: it
    # blocks for seconds when the pointer is already where it is sent.
    def mouse_move(self, x, y):
        self.window()
        self.display.tool("xdotool", "mousemove", str(self.origin[0] + x),
                          str(self.origin[1] + y))

    def mouse_move_relative(self, dx, dy):
        self.display.tool("xdotool", "mousemove_relative", "--", str(dx), str(dy))

    def mouse_down(self, button):
        """Buttons: 1 left, 2 middle, 3 right."""
        self.display.tool("xdotool", "mousedown", str(button))

    def mouse_up(self, button):
        self.display.tool("xdotool", "mouseup", str(button))

    def close(self, timeout=TIMEOUT):
        """Asks the window to close, as a window manager's close button does,
        and returns the program's exit status. A traced program leaves a
        complete trace this way."""
        _send_delete_window(self.display.name, self.window())
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise AssertionError("the program did not end when its window was closed")

    def kill(self):
        """Ends the program if it still runs: SIGTERM still leaves a readable
        trace; SIGKILL if that is not enough."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


def _send_delete_window(display_name, wid):
    """Sends WM_PROTOCOLS / WM_DELETE_WINDOW to the window (no tool here
    does: xdotool's windowclose and windowkill end the program with 1)."""
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                               ctypes.c_long, ctypes.POINTER(_Event)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display_name.encode())
    if not dpy:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        ev = _Event()
        ev.client.type = 33  # ClientMessage
        ev.client.window = wid
        ev.client.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        ev.client.format = 32
        ev.client.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        ev.client.data[1] = 0  # CurrentTime
        if not x11.XSendEvent(dpy, wid, 0, 0, ctypes.byref(ev)):
            raise RuntimeError("XSendEvent failed")
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


# --- pictures --------------------------------------------------------------

class Picture:
    """An RGB picture; pixel(col, row) with row 0 at the top."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, ppm):
        """From ImageMagick's PPM: header lines (some of them # comments,
        such as the window's name), then the RGB bytes."""
        fields, data = [], ppm
        while len(fields) < 4:  # P6, width, height, 255
            line, data = data.split(b"\n", 1)
            if not line.startswith(b"#"):
                fields += line.split()
        magic, w, h, depth = fields[0], int(fields[1]), int(fields[2]), fields[3]
        if magic != b"P6" or depth != b"255" or len(data) != 3 * w * h:
            raise ValueError(f"not an 8-bit binary PPM: {ppm[:60]!r}")
        return cls(w, h, data)

    def pixel(self, col, row):
        if not (0 <= col < self.width and 0 <= row < self.height):
            raise IndexError(f"pixel ({col}, {row}) outside {self.width}x{self.height}")
        i = 3 * (row * self.width + col)
        return tuple(self.data[i:i + 3])

    def contains(self, rgb):
        needle = bytes(rgb)
        i = self.data.find(needle)
        while i >= 0:
            if i % 3 == 0:
                return True
            i = self.data.find(needle, i + 1)
        return False

    def other_than(self, rgb):
        """{(col, row): colour} of every pixel not of colour rgb: what is drawn
        over the background."""
        plain = bytes(rgb)
        stride = 3 * self.width
        whole_row = plain * self.width
        out = {}
        for row in range(self.height):
            line = self.data[row * stride:(row + 1) * stride]
            if line == whole_row:
                continue
            for col in range(self.width):
                px = line[3 * col:3 * col + 3]
                if px != plain:
                    out[(col, row)] = tuple(px)
        return out


# --- GL traces -------------------------------------------------------------

Call = collections.namedtuple("Call", "no name args")

_FAKE = 1        # a call apitrace made up itself (the first glViewport)
_END_FRAME = 32  # the call ends a frame (the swap)


class Pointer(int):
    """A pointer value in apitrace's pickles."""


class _TraceUnpickler(pickle.Unpickler):
    def find_class(self, module, name):
        if name == "Pointer":
            return Pointer
        raise pickle.UnpicklingError(f"unexpected class {module}.{name} in a trace")


def read_trace(path):
    """The frames of an apitrace trace, each a list of Calls, with exact
    argument values (`apitrace dump` rounds floats to 7 digits; `pickle`
    does not). Calls apitrace made up are left out. A last frame cut short
    (the program was killed) is kept if it holds any call."""
    need("apitrace")
    with tempfile.TemporaryFile() as out:
        subprocess.run(["apitrace", "pickle", "-s", str(path)], stdout=out,
                       stderr=subprocess.PIPE, timeout=60, check=True)
        out.seek(0)
        loader = _TraceUnpickler(out)
        frames, frame = [], []
        while True:
            try:
                no, name, args, _ret, flags = loader.load()
            except EOFError:
                break
            if flags & _FAKE:
                continue
            frame.append(Call(no, name, dict(args)))
            if flags & _END_FRAME:
                frames.append(frame)
                frame = []
        if frame:
            frames.append(frame)
        return frames


def gl_calls(frame):
    """The frame's calls without the window-system ones (glX...)."""
    return [c for c in frame if not c.name.startswith("glX")]


def brief(call):
    """A call as a tuple (name, arg values...), for comparing sequences."""
    return (call.name,) + tuple(call.args.values())


def diff_calls(got, want):
    """A unified diff of two lists of brief() calls, for failure messages."""
    return "\n".join(difflib.unified_diff([repr(c) for c in want], [repr(c) for c in got],
                                          "expected", "traced", lineterm="", n=2))


def setup_calls(fov, cam, size=WINDOW[2:]):
    """The calls of the first frame before the first drawing: the window's
    set-up (clear colour, a first square projection looking at the centre,
    the model-view move) and the first reshape."""
    move = (-cam.centre_x, -cam.centre_y, -cam.distance)
    return [
        ("glClearColor", f32(0.9), f32(0.9), f32(0.8), 0.0),
        ("glMatrixMode", "GL_PROJECTION"), ("glLoadIdentity",),
        ("glMultMatrixd", perspective(fov, 1.0)),
        # gluLookAt from (centre, distance) to (centre, 0), y up: no turn,
        # then a move by minus the eye.
        ("glMultMatrixf", [1.0, 0.0, -0.0, 0.0, -0.0, 1.0, -0.0, 0.0,
                           0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0]),
        ("glTranslated",) + move,
        ("glMatrixMode", "GL_MODELVIEW"), ("glLoadIdentity",),
        ("glTranslatef",) + move,
        ("glMatrixMode", "GL_PROJECTION"), ("glLoadIdentity",),
        ("glViewport", 0, 0, size[0], size[1]),
        ("glMultMatrixd", perspective(fov, f32(size[0] / size[1]))),
    ]


def traced(program, input_text, seconds=0.5):
    """Runs the program on a display of its own for `seconds` after its
    window appears, closes the window and returns (frames, stdout)."""
    with tempfile.TemporaryDirectory() as tmp, Display() as d:
        trace = os.path.join(tmp, "app.trace")
        with run(d, program, input_text, trace_path=trace) as p:
            p.window()
            time.sleep(seconds)
            status = p.close()
            out, err = p.output()
        check(status == 0, f"exit status {status} after closing the window\n{err}")
        return read_trace(trace), out


def check_frames(frames, fov, cam, shapes, min_frames=5):
    """Checks a trace of a program left alone: the first frame sets up the
    window and the first view, then every frame (at least min_frames) draws
    exactly `shapes` (brief() calls) between the clear and the swap."""
    first = [brief(c) for c in gl_calls(frames[0])]
    clear_at = next((i for i, c in enumerate(first) if c[0] == "glClear"), None)
    check(clear_at is not None, f"no glClear in the first frame: {first}")
    setup, display = first[:clear_at], first[clear_at:]
    want = setup_calls(fov, cam)
    check(setup == want, "set-up calls differ:\n" + diff_calls(setup, want))

    drawing = ([("glClear", ("GL_DEPTH_BUFFER_BIT", "GL_COLOR_BUFFER_BIT")), ("glPushMatrix",)]
               + shapes + [("glPopMatrix",), ("glFlush",)])
    tail = display[len(drawing):]  # the toolkit's swap adds a glFlush of its own
    check(display[:len(drawing)] == drawing and all(c == ("glFlush",) for c in tail),
          "drawing calls differ:\n" + diff_calls(display, drawing + tail))

    swapped = [f for f in frames if f[-1].name == "glXSwapBuffers"]
    check(len(swapped) >= min_frames, f"only {len(swapped)} frames drawn")
    redrawn = [f for f in swapped[1:] if [brief(c) for c in gl_calls(f)] != display]
    check(not redrawn, f"{len(redrawn)} later frames draw something else, e.g.\n"
          + (diff_calls([brief(c) for c in gl_calls(redrawn[0])], display) if redrawn else ""))


Batch = collections.namedtuple("Batch", "colour mode size vertices")


def batches(frame):
    """What the frame draws: for each glBegin/glEnd, the colour and point
    size in force, the primitive ('GL_LINES', ...) and the vertices as
    (x, y, z) tuples. Colour and size are None until first set."""
    out = []
    colour = size = None
    current = None
    for c in frame:
        if c.name == "glColor3f":
            colour = (c.args["red"], c.args["green"], c.args["blue"])
        elif c.name == "glPointSize":
            size = c.args["size"]
        elif c.name == "glBegin":
            current = Batch(colour, c.args["mode"], size, [])
        elif c.name == "glVertex3f":
            current.vertices.append((c.args["x"], c.args["y"], c.args["z"]))
        elif c.name == "glEnd":
            out.append(current)
            current = None
    return out


def segment_calls(a, b, colour):
    """The calls, as brief() tuples, that draw segment a-b: the point size,
    the colour, the line, then a dot at each end."""
    return [("glPointSize", 4.0), ("glColor3f",) + tuple(colour),
            ("glBegin", "GL_LINES"), ("glVertex3f",) + tuple(a), ("glVertex3f",) + tuple(b),
            ("glEnd",),
            ("glBegin", "GL_POINTS"), ("glVertex3f",) + tuple(a), ("glVertex3f",) + tuple(b),
            ("glEnd",)]


def point_calls(p, colour):
    """The calls, as brief() tuples, that draw a dot at p (colour first)."""
    return [("glColor3f",) + tuple(colour), ("glPointSize", 4.0),
            ("glBegin", "GL_POINTS"), ("glVertex3f",) + tuple(p), ("glEnd",)]


BLACK = (0.0, 0.0, 0.0)  # as glColor3f gets them
RED = (1.0, 0.0, 0.0)
BLUE = (0.0, 0.0, 1.0)
BLACK_RGB = (0, 0, 0)    # as the screen shows them
RED_RGB = (255, 0, 0)
BLUE_RGB = (0, 0, 255)


# --- the first view, predicted ---------------------------------------------

def f32(x):
    """x rounded to single precision."""
    return struct.unpack("f", struct.pack("f", x))[0]


Camera = collections.namedtuple("Camera", "centre_x centre_y distance")


def bounds_of(points):
    """The scene's bounds after adding these (x, y, ...) points: they start
    at low (1024, 700), high (0, 0) and only widen."""
    lx, ly, hx, hy = 1024.0, 700.0, 0.0, 0.0
    for p in points:
        x, y = f32(p[0]), f32(p[1])
        lx, ly, hx, hy = min(lx, x), min(ly, y), max(hx, x), max(hy, y)
    return (lx, ly), (hx, hy)


def camera(low, high):
    """Where the first view looks from: the bounds' middle, at the distance
    W = high.x + |low.x|, or H = high.y + |low.y| unless 5 W > H."""
    w = high[0] + abs(low[0])
    h = high[1] + abs(low[1])
    return Camera(f32((high[0] + low[0]) * 0.5), f32((high[1] + low[1]) * 0.5),
                  f32(w if 5 * w > h else h))


def perspective(fov, aspect, near=1.0, far=1000.0):
    """The column-major matrix gluPerspective multiplies on, as GLU works it
    out (in double precision)."""
    r = math.radians(fov / 2)
    cot = math.cos(r) / math.sin(r)
    depth = far - near
    return [cot / aspect, 0.0, 0.0, 0.0,
            0.0, cot, 0.0, 0.0,
            0.0, 0.0, -(far + near) / depth, -1.0,
            0.0, 0.0, -2 * near * far / depth, 0.0]


def project(p, cam, fov, size=WINDOW[2:]):
    """GL window coordinates (x from the left, y from the bottom) of scene
    point p in the first view: the model-view translation by (-centre_x,
    -centre_y, -distance), then the reshape's perspective with aspect
    width / height taken as a float."""
    w, h = size
    ex = p[0] - cam.centre_x
    ey = p[1] - cam.centre_y
    ez = (p[2] if len(p) > 2 else 0.0) - cam.distance
    m = perspective(fov, f32(w / h))
    nx = m[0] * ex / -ez
    ny = m[5] * ey / -ez
    return (nx + 1) * w / 2, (ny + 1) * h / 2


def line_pixel(wx, wy, height=WINDOW[3]):
    """The picture pixel (col, row from the top) holding window point (wx, wy)."""
    return math.floor(wx), height - 1 - math.floor(wy)


def pixel_centre(col, row, height=WINDOW[3]):
    """The window coordinates of the centre of picture pixel (col, row)."""
    return col + 0.5, height - row - 0.5


def distance_to_segment(p, a, b):
    """The distance in the window from point p to the segment a-b (2-D)."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2
    t = min(1.0, max(0.0, t))
    return math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy)


def point_block(wx, wy, size=4, height=WINDOW[3]):
    """The picture pixels a dot of an even size covers at window point (wx, wy):
    the size x size square centred on the pixel corner nearest to it."""
    x0 = math.floor(wx + 0.5) - size // 2
    y0 = math.floor(wy + 0.5) - size // 2
    return [(x, height - 1 - y) for y in range(y0, y0 + size) for x in range(x0, x0 + size)]


# --- running a test script -------------------------------------------------

def check(ok, message):
    """Like assert, but kept under python -O."""
    if not ok:
        raise AssertionError(message)


def main(cases):
    """Runs one case of a test script: `script PROGRAM CASE`, where cases
    maps each CASE name to a function of the program's path. Exits 0 when
    the case passes and 1 when it fails or a tool is missing."""
    if len(sys.argv) != 3 or sys.argv[2] not in cases:
        sys.exit(f"usage: {sys.argv[0]} PROGRAM {{{'|'.join(cases)}}}")
    program, case = sys.argv[1], sys.argv[2]
    start = time.monotonic()
    try:
        cases[case](os.path.abspath(program))
    except (AssertionError, ToolMissing, TimeoutError) as e:
        print(f"FAIL {case}: {e}")
        sys.exit(1)
    print(f"ok {case} ({time.monotonic() - start:.2f} s)")
