"""Firefox ESR, headless, through WebDriver BiDi (python3-websocket); its WebGL needs the display
even so. With webdriver.py, how the page tests (tests/e2e/page.py) talk to each browser."""

import base64
import json

from .webdriver import Browser
from .xwindow import until


class Firefox(Browser):
    def __init__(self, env, profile, webgl):
        super().__init__(env)
        with open(f"{profile}/user.js", "w") as prefs:
            prefs.write(f"user_pref('webgl.disabled', {str(not webgl).lower()});")
        self.spawn("firefox-esr", "--headless", "--remote-debugging-port=0", "--profile", profile,
                   "--no-remote")
        server = f"{profile}/WebDriverBiDiServer.json"
        port = until("WebDriver BiDi", lambda: json.load(open(server))["ws_port"], 30)
        self.socket = __import__("websocket").create_connection(f"ws://127.0.0.1:{port}/session",
                                                                suppress_origin=True)
        self.id = 0
        self("session.new", capabilities={})
        self.context = dict(context=self("browsingContext.getTree")["contexts"][0]["context"])
        self.viewport(1280, 1024)

    def __call__(self, method, **params):
        self.id += 1
        self.socket.send(json.dumps(dict(id=self.id, method=method, params=params)))
        while (reply := json.loads(self.socket.recv())).get("id") != self.id:
            pass  # an event
        assert "error" not in reply, f"{method}: {reply}"
        return reply["result"]

    def go(self, url):
        self("browsingContext.navigate", **self.context, url=url, wait="complete")

    def js(self, expression):
        got = self("script.evaluate", expression=f"JSON.stringify({expression})",
                   awaitPromise=False, target=self.context)
        return json.loads(got["result"].get("value", "null"))

    def shot(self):
        return base64.b64decode(self("browsingContext.captureScreenshot", **self.context)["data"])

    def viewport(self, w, h):
        self("browsingContext.setViewport", **self.context, viewport=dict(width=w, height=h))

    def perform(self, actions):
        self("input.performActions", **self.context, actions=actions)
