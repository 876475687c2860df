"""The desktop backend: a program's window on a private Xvfb, driven by real X input (xdotool),
its GL calls traced by apitrace, or the whole run under valgrind."""

import os
import re
import tempfile
import time

from steps import HERE, look, same
from drivers.xwindow import close, display, picture, save, start, tool

TRACER = "/usr/lib/x86_64-linux-gnu/apitrace/wrappers/glxtrace.so"
MATRIX = re.compile(r"gl(MatrixMode|LoadIdentity|Viewport|MultMatrix|Translate|Rotate|Scale)")


def xdotool(*words):
    """A step that is an xdotool command, its arguments after `words` (%w: the window)."""
    return lambda self, *args: tool(self.d, "xdotool", *(w.replace("%w", self.wid) for w in words),
                                    *args)


class Desktop:
    """The steps on a window that opens at (100, 50), 1024 x 700, redrawn at the screen's pace,
    ending with status 0 when closed as by a window manager."""

    def __init__(self, d, wid):
        self.d, self.wid, self.calls = d, wid, []  # the checks of the GL calls, once traced
        self.shown = time.monotonic()

    def look(self, name, slack=0, *engines):
        look(lambda: picture(self.d, self.wid), lambda to: save(self.d, self.wid, to), name, slack)

    point = xdotool("mousemove", "--window", "%w")
    move = xdotool("mousemove_relative", "--")
    press = xdotool("mousedown")
    release = xdotool("mouseup")
    resize = xdotool("windowsize", "%w")
    # Each checked once the run's trace is complete.
    frame = lambda self, name: self.calls.append(lambda frames: same(frames[0], name))
    matrix = lambda self, name: self.calls.append(
        lambda frames: same([c for f in frames for c in f if MATRIX.match(c)], name))

    def rest(self, seconds):
        time.sleep(float(seconds))
        most = 90 * (time.monotonic() - self.shown + 0.5)  # and until closed

        def paced(frames):
            assert 10 * float(seconds) <= len(frames) <= most, \
                f"{len(frames)} frames in {most / 90:.1f} s: not drawn at the screen's pace"
        self.calls.append(paced)


def run(case, engine, program, emulator):
    with tempfile.TemporaryDirectory() as tmp, display() as d:
        trace = os.path.join(tmp, "app.trace")
        # Under sanitizers the GL driver's leaks cannot be suppressed (it is
        # unloaded first), and the tracer comes before the sanitizer.
        env = {} if emulator else {"GALLIUM_DRIVER": "softpipe"} if case.valgrind else {
            "ASAN_OPTIONS": "detect_leaks=0:verify_asan_link_order=0", "TRACE_FILE": trace,
            "LD_PRELOAD": TRACER}
        wrapper = ["valgrind", "--error-exitcode=99", "--leak-check=full", "--quiet",
                   "--errors-for-leak-kinds=definite,indirect", "--keep-debuginfo=yes",
                   f"--suppressions={HERE}/valgrind.supp"] if case.valgrind else emulator
        p, wid = start(d, program, case.answers, env, wrapper)
        try:
            geometry = wid and tool(d, "xdotool", "getwindowgeometry", wid).decode()
            at = "" if emulator else "Position: 100,50"  # wine's window lands anywhere
            assert wid and at in geometry and "Geometry: 1024x700" in geometry, \
                f"window {geometry}; status {p.poll()}: {p.stderr.read()}"
            case.run(window := Desktop(d, wid), engine)
            time.sleep(2 if case.valgrind else 0.3)  # some more frames
            close(d, wid)
            assert p.wait(timeout=120) == 0, f"status {p.returncode} on closing: {p.stderr.read()}"
        finally:
            p.kill()
        if emulator or case.valgrind:
            return
        dump = tool(d, "apitrace", "dump", "--call-nos=no", "--color=never", trace).decode()
    # The GL calls, a list a frame, without the window system's.
    frames = [g for f in re.split(r"^glXSwapBuffers.*\n", dump, flags=re.M)
              if (g := [c for c in f.splitlines() if re.match("gl[^X]", c) and "// fake" not in c])]
    assert len(frames) >= 5, f"only {len(frames)} frames drawn: no continuous redraw"
    for check in window.calls:
        check(frames)
