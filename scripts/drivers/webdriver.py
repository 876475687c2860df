"""Browsers through classic WebDriver (Chromium's chromedriver, WebKitGTK's WebKitWebDriver),
and input as WebDriver actions, which every engine here takes. The page tests (tests/e2e/page.py)
and bench/pages.py drive the programs' pages with it."""

import base64
import contextlib
import functools
import http.server
import json
import os
import signal
import socket
import subprocess
import threading
from urllib.request import Request, urlopen

from .xwindow import tool, until

KEYS = dict(Enter="\ue007", Tab="\ue004", ArrowLeft="\ue012", ArrowUp="\ue013", ArrowRight="\ue014",
            ArrowDown="\ue015", Home="\ue011")  # WebDriver's codes


@contextlib.contextmanager
def serve(site):
    """A quiet web server of the folder `site` on a free port of this machine, at its `url`."""
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *a: None})
    handler = functools.partial(quiet, directory=site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
        server.url = f"http://127.0.0.1:{server.server_address[1]}"
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            yield server
        finally:
            server.shutdown()


class Browser:
    def __init__(self, env):
        self.env, self.processes = env, []

    def spawn(self, *argv):  # a browser or its driver, killed with its children at the end
        self.processes.append(subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL, start_new_session=True))

    def close(self):
        for p in self.processes:
            with contextlib.suppress(ProcessLookupError):
                os.killpg(p.pid, signal.SIGKILL)
            p.wait()

    def mouse(self, kind, x, y, button):
        press = [dict(type="pointer" + kind, button=button - 1)] if kind != "Move" else []
        self.perform([dict(type="pointer", id="mouse",
                           actions=[dict(type="pointerMove", x=round(x), y=round(y))] + press)])

    def touch(self, paths):
        moves = lambda path: [dict(type="pointerMove", x=round(x), y=round(y)) for x, y in path]
        down, up = dict(type="pointerDown", button=0), dict(type="pointerUp", button=0)
        self.perform([dict(type="pointer", id=f"finger{n}", parameters=dict(pointerType="touch"),
                           actions=[*moves(p[:1]), down, *moves(p[1:]), up])
                      for n, p in enumerate(paths)])

    def key(self, key, ctrl=False, times=1):
        keys = ["\ue009"] * ctrl + [KEYS.get(key, key)]
        press = [dict(type="keyDown", value=k) for k in keys] + \
            [dict(type="keyUp", value=k) for k in reversed(keys)]
        self.perform([dict(type="key", id="keys", actions=times * press)])


class WebDriver(Browser):
    """A browser through classic WebDriver and the driver `argv` names."""

    def __init__(self, env, options, *argv):
        super().__init__(env)
        with socket.create_server(("127.0.0.1", 0)) as s:
            port = s.getsockname()[1]
        self.spawn(*argv, f"--port={port}")
        self.base = f"http://127.0.0.1:{port}"
        until(argv[0], lambda: self("GET", "/status")["ready"])
        session = self("POST", "/session", capabilities={"alwaysMatch": options})
        self.base += "/session/" + session["sessionId"]
        self.viewport(1280, 1024)

    def __call__(self, method, path, **body):
        body = json.dumps(body).encode() if body else None
        with urlopen(Request(self.base + path, body, method=method), timeout=120) as reply:
            return json.load(reply)["value"]

    def go(self, url):
        self("POST", "/url", url=url)

    def js(self, expression):
        return self("POST", "/execute/sync", script="return " + expression, args=[])

    def shot(self):
        return base64.b64decode(self("GET", "/screenshot"))

    def perform(self, actions):
        self("POST", "/actions", actions=actions)


class Chromium(WebDriver):
    """Headless Chromium through chromedriver, which gives it WebDriver's touches as touches."""

    def __init__(self, env, profile, webgl):
        args = ["--headless=new", "--no-sandbox", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", f"--user-data-dir={profile}",
                *["--disable-webgl"] * (not webgl)]
        super().__init__(env, {"goog:chromeOptions": {"binary": "/usr/lib/chromium/chromium",
                                                      "args": args}}, "chromedriver")

    def cdp(self, command, **params):  # a command of the DevTools protocol
        return self("POST", "/goog/cdp/execute", cmd=command, params=params)

    def viewport(self, w, h):  # narrower, as a phone, whose viewport meta tag counts
        self.cdp("Emulation.setDeviceMetricsOverride", width=w, height=h, deviceScaleFactor=1,
                 mobile=w < 1280)


class WebKit(WebDriver):
    """WebKitGTK's MiniBrowser, its mouse real X input: WebDriver's reports every
    release as the left button's."""

    def __init__(self, env, profile, webgl):
        binary = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
        options = {"binary": binary, "args": ["--automation"]}
        super().__init__(env, {"webkitgtk:browserOptions": options}, "WebKitWebDriver")

    def viewport(self, w, h):  # through the window's size, with its tool bar
        self("POST", "/window/rect", width=w, height=h + self.js("outerHeight - innerHeight"))

    def mouse(self, kind, x, y, button):
        press = {"Down": ["mousedown", str(button)], "Up": ["mouseup", str(button)]}.get(kind, [])
        # The page's corner on the screen, below the tool bar, as it is now: just after the
        # browser starts, the tool bar may still measure some hundred pixels too tall.
        left, top = self.js("[screenX, screenY + outerHeight - innerHeight]")
        tool(self.env, "xdotool", "mousemove", str(round(x + left)), str(round(y + top)), *press)
