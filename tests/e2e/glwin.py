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
        frames = read_trace(t)         # [[Call(no, name, args), ...], ...]
        drawn = batches(frames[0])     # [Batch(colour, mode, size, vertices)]

Predicting pixels of the first view (pure arithmetic, no display):

    low, high = bounds_of(points)             # the scene's running bounds
    cam = camera(low, high)                   # (centre_x, centre_y, distance)
    wx, wy = project(p, cam, fov=30)          # GL window coordinates
    col, row = line_pixel(wx, wy)             # picture pixel under it
    block = point_block(wx, wy)               # the 4 x 4 pixels of a dot

Coordinates: GL window coordinates count y from the bottom; picture pixels
(screenshots, mouse) count rows from the top. A required tool that is
missing raises ToolMissing: CI installs them, so tests fail rather than skip.
"""

import collections
import ctypes
import math
import os
import pickle
import select
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
        try:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(w,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            os.close(w)
            w = None
            # Read up to the line break: Xvfb writes the number and the
            # break separately and dies if the pipe is closed in between.
            got = b""
            end = time.monotonic() + TIMEOUT
            while not got.endswith(b"\n") and time.monotonic() < end:
                ready, _, _ = select.select([r], [], [], max(0.0, end - time.monotonic()))
                chunk = os.read(r, 64) if ready else b""
                if not chunk:
                    break
                got += chunk
            number = got.decode().strip() if got.endswith(b"\n") else ""
        finally:
            os.close(r)
            if w is not None:
                os.close(w)
        if not number:
            err = self._stop()
            raise RuntimeError(f"Xvfb did not start: {err}")
        self.name = ":" + number
        return self

    def __exit__(self, *exc):
        for p in self.programs:
            p.kill()
        self._stop()
        return False

    def _stop(self):
        if self.server is None:
            return ""
        if self.server.poll() is None:
            self.server.terminate()
        try:
            _, err = self.server.communicate(timeout=5)
        except subprocess.TimeoutExpired:
            self.server.kill()
            _, err = self.server.communicate()
        self.server = None
        return (err or b"").decode(errors="replace").strip()

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

def run(display, program, input_text, trace_path=None):
    """Starts `program` on `display` with `input_text` as its standard input.

    With trace_path, the GL calls are traced into that file by preloading
    apitrace's GLX wrapper into the program's own process (so signals reach
    the program itself, not a wrapper).
    """
    env = display.env()
    if trace_path is not None:
        need(GLXTRACE, "apitrace")
        if os.path.exists(trace_path):
            os.remove(trace_path)
        env.update(LD_PRELOAD=GLXTRACE, TRACE_FILE=str(trace_path))
    p = Program(display, program, input_text, env)
    display.programs.append(p)
    return p


class Program:
    """A running program and its window; see run()."""

    def __init__(self, display, program, input_text, env):
        self.display = display
        self.out = tempfile.TemporaryFile()
        self.err = tempfile.TemporaryFile()
        with tempfile.TemporaryFile() as stdin:
            stdin.write(input_text.encode())
            stdin.seek(0)
            self.proc = subprocess.Popen([program], stdin=stdin, stdout=self.out,
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

    def window(self):
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
            self.wid = _wait_until("the window", probe)
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
        fields = []
        pos = 0
        while len(fields) < 4:  # magic, width, height, maximum value
            while ppm[pos:pos + 1].isspace():
                pos += 1
            if ppm[pos:pos + 1] == b"#":
                pos = ppm.index(b"\n", pos)
                continue
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError(f"not an 8-bit binary PPM: {fields}")
        w, h = int(fields[1]), int(fields[2])
        data = ppm[pos + 1:pos + 1 + 3 * w * h]
        if len(data) != 3 * w * h:
            raise ValueError("truncated PPM")
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

    def save_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data)


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


def segment_batches(segments, colour):
    """The batches that drawing these segments ((a, b) pairs of (x, y, z))
    gives: a line and its two end dots, 4 pixels each."""
    out = []
    for a, b in segments:
        out.append(Batch(colour, "GL_LINES", 4.0, [a, b]))
        out.append(Batch(colour, "GL_POINTS", 4.0, [a, b]))
    return out


def point_batch(p, colour):
    return Batch(colour, "GL_POINTS", 4.0, [p])


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


BLACK = (0.0, 0.0, 0.0)
RED = (1.0, 0.0, 0.0)
BLUE = (0.0, 0.0, 1.0)


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
