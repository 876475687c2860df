"""Orca, the screen reader, on a page in Firefox ESR or Chromium, and what it says: each run on its
private Xvfb and D-Bus session with accessibility on, keys sent as real X input (xdotool). What
Orca says is the `SPEECH OUTPUT:` lines of its debug log, which it writes to a terminal of ours,
so that each line comes as it is written. One Orca runs per user at a time: a run ends only once
every process it started is gone."""

import contextlib
import os
import pty
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

from .xwindow import display, tool, until

SAID = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?(?:\s*\{[^{}]*\})?$", re.S)
# speech-dispatcher's dummy voice, its sound to ALSA's null device: no sound card is needed.
SPEECHD = ('AudioOutputMethod "alsa"\nAddModule "dummy" "sd_dummy" "dummy.conf"\n'
           "DefaultModule dummy\n")
ALSA = "pcm.!default { type null }\n"
# Firefox keeps the places of a page's objects for screen readers only once one has asked for one,
# and says 0 until then: Orca, which reads lines by their places, took the first line read after
# a Tab to run from the picture to the path's heading.
FIREFOX_PREFS = """user_pref('accessibility.enable_all_cache_domains', true);
user_pref('browser.aboutwelcome.enabled', false);
user_pref('browser.newtab.preload', false);
user_pref('browser.startup.homepage_override.mstone', 'ignore');
user_pref('datareporting.policy.dataSubmissionEnabled', false);
user_pref('browser.shell.checkDefaultBrowser', false);
user_pref('browser.tabs.warnOnClose', false);
user_pref('general.smoothScroll', false);
"""


def browser_argv(browser, profile, url):
    if browser == "firefox":
        with open(f"{profile}/user.js", "w") as prefs:
            prefs.write(FIREFOX_PREFS)
        return ["firefox-esr", "--no-remote", "--profile", profile, url], "firefox"
    # A software GL: with none, the page rightly says that it cannot draw.
    return ["chromium", "--no-sandbox", "--test-type", "--force-renderer-accessibility",
            "--no-first-run", "--disable-features=Translate", "--disable-smooth-scrolling",
            "--use-angle=swiftshader", "--enable-unsafe-swiftshader", f"--user-data-dir={profile}",
            "--window-size=1280,1000", url], "chromium"


class Orca:
    """Orca running, the page open in `browser` (firefox or chromium) and focused: `keys` sends
    keys, `said` what Orca has said since the last call."""

    def __init__(self, env, home):
        self.env, self.home, self.lines, self.heard = env, home, [], 0
        self.log = open(f"{home}/orca.log", "w")
        self.bus = self.orca = None

    def start(self, browser, url):
        env, home = self.env, self.home
        os.makedirs(f"{home}/.config/speech-dispatcher")
        for path, text in (("/.config/speech-dispatcher/speechd.conf", SPEECHD),
                           ("/.asoundrc", ALSA)):
            with open(home + path, "w") as f:
                f.write(text)
        # dbus-run-session's child holds the session bus open until its input closes.
        hold = "import os, sys; print(os.environ['DBUS_SESSION_BUS_ADDRESS'], flush=True); " \
               "sys.stdin.read()"
        self.bus = self.spawn(["dbus-run-session", "--", "/usr/bin/python3", "-c", hold],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.stdout.readline().decode().strip()
        tool(env, "gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility",
             "true")
        ours, theirs = pty.openpty()
        self.orca = self.spawn(["orca", "--debug-file", "/dev/stdout", "-u", f"{home}/orca"],
                               stdout=theirs)
        os.close(theirs)
        threading.Thread(target=self.read, args=(os.fdopen(ours, errors="replace"),),
                         daemon=True).start()
        until("Orca", lambda: "Screen reader on." in self.lines, 60)
        self.heard = len(self.lines)
        os.makedirs(f"{home}/profile")
        argv, window = browser_argv(browser, f"{home}/profile", url)
        self.spawn(argv, stdout=subprocess.DEVNULL)
        search = ["xdotool", "search", "--onlyvisible", "--class", window]
        found = until("the browser's window", lambda: subprocess.run(
            search, env=env, capture_output=True).stdout.split(), 60)[-1].decode()
        tool(env, "xdotool", "windowfocus", "--sync", found)

    def spawn(self, argv, **how):
        return subprocess.Popen(argv, env=self.env, stderr=subprocess.DEVNULL, **how)

    def read(self, log):
        """Each utterance, its lines (a live region's) joined by blanks, as one of `lines`."""
        text = ""
        with contextlib.suppress(OSError):  # the terminal closes with Orca
            for line in log:
                self.log.write(line)
                if "- SPEECH OUTPUT: '" in line or text:
                    text += line.rstrip("\r\n") + "\n"
                    if said := SAID.search(text.rstrip("\n")):
                        self.lines.append(" ".join(said.group(1).split()))
                        text = ""

    def keys(self, *keys):
        """Presses each key, as xdotool names it: a, 4, Return, Tab, Down, bracketleft..."""
        tool(self.env, "xdotool", "key", *keys)

    def said(self, want, among=False, quiet=1.0, timeout=30):
        """That Orca says the utterances `want` from now, in any order (a live region's and a
        focus change's come as they come), and then nothing for `quiet` seconds (or, `among`, each
        of them among others); fails with what it said instead."""
        got = lambda: self.lines[self.heard:]
        holds = lambda: all(w in got() for w in want) if among else sorted(got()) == sorted(want)
        with contextlib.suppress(AssertionError):  # it said something else, or not enough
            until("Orca", lambda: holds() or not among and len(got()) >= len(want), timeout)
        if holds():
            time.sleep(quiet)
        said, self.heard = got(), len(self.lines)
        assert all(w in said for w in want) if among else sorted(said) == sorted(want), \
            "Orca said:\n" + "\n".join(said) + "\ninstead of:\n" + "\n".join(want)

    def view(self, name, views):
        """That the page shows the picture `views[name]` if it has one, else one unlike all
        there that stays for a second, kept as `name`: the screen below the browser's bars, where
        the canvas is."""
        shot = lambda: subprocess.run(["import", "-window", "root", "-crop", "1280x800+0+224",
                                       "-depth", "8", "rgb:-"], env=self.env, capture_output=True,
                                      check=True, timeout=60).stdout
        if name in views:
            until(f"the view {name}", lambda: shot() == views[name], 60)
        else:
            new = lambda: (s := shot()) not in views.values() and not time.sleep(1) and \
                s == shot() and s
            views[name] = until(f"a new view {name}", new, 60)

    def converse(self, script):
        """Runs `script`, a conversation: its lines `> KEY...` send keys (as `keys`), `! NAME`
        expects the view NAME (as `view`), and the others are what Orca says after the keys
        before them (as `said`), an utterance a line; before the first keys, what it says among
        others as the page opens (the browser's own words vary). `#` starts a comment."""
        want, views, at = [], {}, 0
        for number, line in enumerate([*script.splitlines(), "> "], 1):
            line = line.split("#")[0].strip()
            if line and line[0] in ">!":
                try:
                    self.said(want, among=not at, quiet=2 if not at else 1)
                except AssertionError as e:
                    raise AssertionError(f"line {at}: {e}") from None
                want, at = [], number
                if line[0] == "!":
                    self.view(line[1:].strip(), views)
                elif line[1:].split():
                    self.keys(*line[1:].split())
            elif line:
                want.append(line)

    def close(self):
        """Ends every process this run started, found by its private HOME, and waits until they
        are gone: another Orca refuses to start while one runs."""
        if self.bus:
            self.bus.stdin.close()
        mine = f"HOME={self.home}\0".encode()

        def ours():
            pids = []
            for pid in filter(str.isdigit, os.listdir("/proc")):
                with contextlib.suppress(OSError):
                    if mine in open(f"/proc/{pid}/environ", "rb").read() and \
                            open(f"/proc/{pid}/stat").read().split(")")[-1].split()[0] != "Z":
                        pids.append(int(pid))
            return pids
        for pid in ours():
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        for p in filter(None, (self.bus, self.orca)):
            p.wait()
        until("the run's processes to end", lambda: not ours(), 30)
        self.log.close()


@contextlib.contextmanager
def orca(browser, url, keep=None):
    """An Orca on `url` in `browser`, on a display and a D-Bus session of its own; its debug log
    ends as `keep` if given, or in the temporary folder if the run fails."""
    with display() as d, tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as home:
        env = dict(HOME=home, XDG_RUNTIME_DIR=home, DISPLAY=d["DISPLAY"], PATH=os.environ["PATH"],
                   GTK_MODULES="gail:atk-bridge", GNOME_ACCESSIBILITY="1", LANG="C.UTF-8")
        reader = Orca(env, home)
        try:
            reader.start(browser, url)
            yield reader
        except BaseException:
            keep = keep or f"{tempfile.gettempdir()}/orca-{browser}-{os.getpid()}.log"
            print("Orca's log:", keep, file=sys.stderr)
            raise
        finally:
            reader.close()
            if keep:
                os.replace(f"{home}/orca.log", keep)
