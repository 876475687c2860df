"""Timing a program's window under a virtual display, and profiling a frame.

Frames are timed by preloading libswap_log.so (bench/swap_log.cpp), which
stamps every glXSwapBuffers with CLOCK_MONOTONIC. The answers go in through
a pipe, the last one only once the program waits for it, so the time from
that answer to the first swap is the time a user waits for the picture:
tracing, opening the window and drawing the first frame.

    with Display() as d:
        run = time_frames(d, program, answers, swap_lib)
        run.first_ms, run.frame_ms, run.frames, run.driver
        prof = profile_frames(d, program, answers, swap_lib)   # None without perf
        prof.cpu_ms_per_frame, prof.parts   # [(thread, library, share)]
"""

import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from glwin import Display  # noqa: E402  (the window tests' virtual display)

__all__ = ["Display", "time_frames", "profile_frames", "perf_works"]


def _now_ns():
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC)


def _read_log(path):
    """(driver lines, swap times in ns) from a swap log written so far."""
    try:
        with open(path) as f:
            lines = f.read().split("\n")
    except FileNotFoundError:
        return [], []
    driver = [l for l in lines if l and not l[0].isdigit()]
    # The last line may still be half written.
    stamps = [int(l) for l in lines[:-1] if l and l[0].isdigit()]
    return driver, stamps


def _env(display, swap_lib, log):
    env = display.env()
    env.update(LD_PRELOAD=swap_lib, TRAK_SWAP_LOG=log, LIBGL_ALWAYS_SOFTWARE="1")
    return env


def _stop(proc):
    if proc.poll() is None:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


class FrameRun:
    def __init__(self, driver, first_ms, intervals_ms):
        self.driver = driver
        self.first_ms = first_ms
        self.frames = len(intervals_ms)
        self.frame_ms = statistics.median(intervals_ms) if intervals_ms else None


def time_frames(display, program, answers, swap_lib, settle=2.0, cap=20.0, timeout=120.0):
    """Runs `program` with `answers` (a list of lines) on `display` and times
    its frames: redraws are counted for `settle` seconds after the first
    swap, or until `cap` seconds if fewer than three have come by then (a
    large scene), and never fewer than one."""
    with tempfile.TemporaryDirectory() as tmp:
        log = os.path.join(tmp, "swaps")
        proc = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=_env(display, swap_lib, log))
        try:
            proc.stdin.write("".join(a + "\n" for a in answers[:-1]).encode())
            proc.stdin.flush()
            time.sleep(0.3)  # the program now waits for the last answer
            t0 = _now_ns()
            proc.stdin.write((answers[-1] + "\n").encode())
            proc.stdin.close()
            end = time.monotonic() + timeout
            while True:
                if proc.poll() is not None:
                    raise RuntimeError(f"{program} ended with status {proc.returncode}")
                if time.monotonic() > end:
                    raise TimeoutError(f"{program}: too few frames in {timeout} s")
                driver, stamps = _read_log(log)
                if len(stamps) >= 2:
                    since = (_now_ns() - stamps[0]) / 1e9
                    if (since >= settle and len(stamps) >= 4) or since >= cap:
                        break
                time.sleep(0.02)
        finally:
            _stop(proc)
    intervals = [(b - a) / 1e6 for a, b in zip(stamps, stamps[1:])]
    return FrameRun(driver, (stamps[0] - t0) / 1e6, intervals)


def perf_works():
    """True if perf can sample a process here (it needs linux-perf and a
    kernel that lets users sample their own processes)."""
    if shutil.which("perf") is None:
        return False
    done = subprocess.run(["perf", "record", "-q", "-e", "cpu-clock", "-o", "/dev/null", "true"],
                          capture_output=True)
    return done.returncode == 0


class Profile:
    def __init__(self, frames, cpu_ms_per_frame, wall_ms_per_frame, parts):
        self.frames = frames
        self.cpu_ms_per_frame = cpu_ms_per_frame
        self.wall_ms_per_frame = wall_ms_per_frame
        self.parts = parts  # [(thread kind, library, share of the samples)]


def _library(dso, program):
    if dso == os.path.basename(program):
        return "the program's own code"
    if dso.startswith("[JIT]"):
        return "shaders compiled by llvmpipe"
    if dso == "swrast_dri.so":
        return "Mesa (swrast_dri.so)"
    if dso.startswith("[kernel"):
        return "kernel"
    if dso.startswith("libc.so"):
        return "libc"
    return "other libraries"


def profile_frames(display, program, answers, swap_lib, frames=2, timeout=120.0):
    """Samples `program` with perf (cpu-clock, every thread) and attributes
    the samples between its first and last timed swaps to thread kinds (the
    program's own thread, llvmpipe's rasteriser threads) and libraries."""
    with tempfile.TemporaryDirectory() as tmp:
        log, data = os.path.join(tmp, "swaps"), os.path.join(tmp, "perf.data")
        env = _env(display, swap_lib, log)
        # perf must not preload the logger itself: it gets it through env(1).
        perf_env = {k: v for k, v in env.items() if k not in ("LD_PRELOAD", "TRAK_SWAP_LOG")}
        proc = subprocess.Popen(
            ["perf", "record", "-q", "-e", "cpu-clock", "-k", "CLOCK_MONOTONIC", "-o", data, "--",
             "env", f"LD_PRELOAD={swap_lib}", f"TRAK_SWAP_LOG={log}", program],
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            env=perf_env)
        try:
            proc.stdin.write("".join(a + "\n" for a in answers).encode())
            proc.stdin.close()
            end = time.monotonic() + timeout
            while len(_read_log(log)[1]) < frames + 1:
                if proc.poll() is not None or time.monotonic() > end:
                    raise RuntimeError(f"{program} under perf: too few frames")
                time.sleep(0.05)
            _, stamps = _read_log(log)
        finally:
            # End the program, not perf, so perf writes its data and exits.
            with open(f"/proc/{proc.pid}/task/{proc.pid}/children") as f:
                children = [int(c) for c in f.read().split()]
            for c in children:
                os.kill(c, signal.SIGTERM)
            try:
                proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                _stop(proc)
        a, b = stamps[0] / 1e9, stamps[-1] / 1e9
        report = subprocess.run(
            ["perf", "report", "-i", data, "--stdio", "-s", "comm,dso", "-g", "none",
             "--percent-limit", "0", "--time", f"{a:.6f},{b:.6f}"],
            capture_output=True, text=True, check=True).stdout
    n = len(stamps) - 1
    cpu_ns = 0
    parts = {}
    for line in report.splitlines():
        if line.startswith("# Event count"):
            cpu_ns = int(line.split(":")[1])
        fields = line.split(None, 2)
        if len(fields) == 3 and fields[0].endswith("%") and not line.startswith("#"):
            thread = "rasteriser threads" if fields[1].startswith("llvmpipe") else "program thread"
            key = (thread, _library(fields[2].strip(), program))
            parts[key] = parts.get(key, 0.0) + float(fields[0][:-1]) / 100
    ordered = sorted(((t, l, s) for (t, l), s in parts.items()), key=lambda p: -p[2])
    return Profile(n, cpu_ns / 1e6 / n, (stamps[-1] - stamps[0]) / 1e6 / n, ordered)
