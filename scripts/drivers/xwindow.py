"""What runs a program under a private virtual display (Xvfb) and handles its
window: waits for it, takes its picture and closes it as a window manager does.
scripts/snapshot and the window tests use it."""

import contextlib
import ctypes
import os
import subprocess
import time


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
    while True:
        with contextlib.suppress(OSError, ValueError, KeyError):  # not there yet, or half written
            if got := probe():
                return got
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


def start(d, program, answers, env=(), wrapper=()):
    """The program reading `answers`, and its window's id once the window
    shows and has drawn its first frame (None if the program ends first)."""
    p = subprocess.Popen([*wrapper, program], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, env=dict(d, **dict(env)))
    p.stdin.write(answers)
    p.stdin.close()
    wait = 120 if wrapper else 30  # a new machine compiles its shaders first
    wid = until("the window", lambda: ["ended"] if p.poll() is not None else subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", "^Geometrija - prikaz zadatka$"],
        env=d, capture_output=True).stdout.decode().split()[:1], wait)[0]
    if wid == "ended":
        return p, None
    # Mapped but not drawn yet, a window is all one colour (Xvfb's black); the first view always
    # has the table in it.
    until("the first frame", lambda: p.poll() is not None or not plain(picture(d, wid)), wait)
    return p, wid


def picture(d, wid):
    return tool(d, "import", "-window", wid, "-depth", "8", "rgb:-")


def plain(rgb):
    """Whether an RGB picture is all one colour."""
    return rgb.count(rgb[:3]) * 3 == len(rgb)


def save(d, wid, path):
    """Writes the window's picture, once it stands still, as a PNG."""
    until("a still picture", lambda: picture(d, wid) == picture(d, wid))
    tool(d, "import", "-window", wid, path)


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
