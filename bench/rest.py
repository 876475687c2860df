"""The desktop window left alone and dragged, for bench/report.py: each program's CPU time and
frames a second at rest on its worked example, ten trakbox windows at once, and a drag's latency.
Each program runs under Xvfb and Mesa's software renderer with libswap_log.so preloaded.

    PYTHONPATH=scripts python3 bench/rest.py BUILD_DIR [WINDOWS_BUILD_DIR]   # the figures alone"""

import contextlib
import ctypes
import os
import statistics
import subprocess
import sys
import tempfile
import time

from drivers.xwindow import display, start, until

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORKED = {"trakflat": "planar", "trakbox": "box"}
REST = 10  # seconds each window is left alone, after its first frame
MOVES = 40  # motion events of the drag, 50 ms apart
clock = lambda: time.clock_gettime_ns(time.CLOCK_MONOTONIC)  # noqa: E731  swap_log's clock


def swaps(log):
    """[(start, end)] in ns of each frame swapped so far (the last line may be half written)."""
    lines = open(log).read().split("\n")[1:-1] if os.path.exists(log) else []
    return [tuple(map(int, line.split())) for line in lines]


def cpu(pid):
    """Seconds of CPU the process has used, its threads (the renderer's) included."""
    fields = open(f"/proc/{pid}/stat").read().rpartition(")")[2].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


@contextlib.contextmanager
def windows(d, build, names):
    """The programs `names` on their worked examples, each with its swap log, once each has
    drawn."""
    with tempfile.TemporaryDirectory() as tmp, contextlib.ExitStack() as stack:
        runs = []
        for i, name in enumerate(names):
            log = os.path.join(tmp, str(i))
            p = subprocess.Popen([os.path.join(build, WORKED[name], name)],
                                 stdin=open(f"{ROOT}/examples/{name[4:]}_worked.txt"),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                 env=dict(d, TRAK_SWAP_LOG=log, LD_PRELOAD=os.path.join(
                                     build, "bench", "libswap_log.so")))
            stack.callback(p.wait)
            stack.callback(p.kill)
            runs.append((p, log))
        until("the first frames", lambda: all(swaps(log) for _, log in runs), 60)
        yield runs


def at_rest(d, build, names):
    """[(% of a core, frames a second)] of each of `names` at once, left alone for REST seconds."""
    with windows(d, build, names) as runs:
        before, t0 = [cpu(p.pid) for p, _ in runs], clock()
        time.sleep(REST)
        after, t1 = [cpu(p.pid) for p, _ in runs], clock()
        frames = [sum(t0 <= end < t1 for _, end in swaps(log)) for _, log in runs]
    s = (t1 - t0) / 1e9
    return [(100 * (b - a) / s, n / s) for a, b, n in zip(before, after, frames)]


def drag_latency(d, build):
    """The median ms from a motion event of a left drag in trakflat's window (sent through XTEST)
    to the end of the swap of the first frame begun after it."""
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    dpy = ctypes.c_void_p(x11.XOpenDisplay(d["DISPLAY"].encode()))
    latencies = []
    with windows(d, build, ["trakflat"]) as [(_, log)]:
        xtst.XTestFakeMotionEvent(dpy, -1, 600, 400, 0)
        xtst.XTestFakeButtonEvent(dpy, 1, 1, 0)
        x11.XFlush(dpy)
        for i in range(MOVES):
            time.sleep(0.05)
            sent = clock()
            xtst.XTestFakeMotionEvent(dpy, -1, 600 + 2 * (i + 1), 400, 0)
            x11.XFlush(dpy)
            end = until("a frame", lambda: [e for s, e in swaps(log) if s > sent][:1], 20)[0]
            latencies.append((end - sent) / 1e6)
        xtst.XTestFakeButtonEvent(dpy, 1, 0, 0)
        x11.XFlush(dpy)
    x11.XCloseDisplay(dpy)
    return statistics.median(latencies)


def under_wine(d, windows_build):
    """(% of a core, frames a second) of the Windows build's trakbox under wine on its worked
    example, at rest, in the wine prefix of its window tests. Its swaps cannot be logged (wine
    looks up the GL library's functions itself), so its frames are counted as the X server's
    DAMAGE reports on its window, one a frame."""
    exe = os.path.join(windows_build, "box", "trakbox.exe")
    env = dict(WINEPREFIX=os.path.abspath(os.path.join(windows_build, "wine-window")),
               WINEDEBUG="-all")
    x11, damage = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXdamage.so.1")
    x11.XOpenDisplay.restype, damage.XDamageCreate.restype = ctypes.c_void_p, ctypes.c_ulong
    answers = open(os.path.join(ROOT, "examples", "box_worked.txt"), "rb").read()
    p, wid = start(d, exe, answers, env, ["wine"])
    try:
        pid = int(subprocess.run(["pgrep", "-f", "-n", exe], capture_output=True).stdout)
        dpy = ctypes.c_void_p(x11.XOpenDisplay(d["DISPLAY"].encode()))
        base, error, event = ctypes.c_int(), ctypes.c_int(), (ctypes.c_long * 24)()
        damage.XDamageQueryExtension(dpy, ctypes.byref(base), ctypes.byref(error))
        report = damage.XDamageCreate(dpy, ctypes.c_ulong(int(wid)), 3)  # a report when non-empty
        frames, before, t0 = 0, cpu(pid), clock()
        while clock() - t0 < REST * 1e9:
            while x11.XPending(dpy):
                x11.XNextEvent(dpy, event)
                if ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == base.value:
                    frames += 1
                    damage.XDamageSubtract(dpy, ctypes.c_ulong(report), 0, 0)  # and the next
            time.sleep(0.002)
        s = (clock() - t0) / 1e9
        used = cpu(pid) - before
        x11.XCloseDisplay(dpy)
    finally:
        p.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, **env))
    return 100 * used / s, frames / s


def measure(build, windows_build=None):
    """{"rest": {program: (%, fps)}, "ten": [(%, fps)] of ten trakbox windows, "drag": ms,
    "wine": (%, fps) of the Windows build's trakbox or None}"""
    with display() as d:
        rest = {name: at_rest(d, build, [name])[0] for name in WORKED}
        return dict(rest=rest, ten=at_rest(d, build, ["trakbox"] * 10),
                    drag=drag_latency(d, build),
                    wine=windows_build and under_wine(d, windows_build))


if __name__ == "__main__":
    got = measure(*sys.argv[1:3])
    for name, (pc, fps) in got["rest"].items():
        print(f"{name} at rest: {pc:.1f} % of a core, {fps:.1f} frames a second")
    print("ten trakbox: " + ", ".join(f"{fps:.0f}" for _, fps in got["ten"]) +
          f" frames a second; {sum(pc for pc, _ in got['ten']):.0f} % of a core together")
    print(f"drag latency, median: {got['drag']:.1f} ms")
    if got["wine"]:
        print("trakbox.exe under wine at rest: %.1f %% of a core, %.1f frames a second"
              % got["wine"])
