"""Headless Chromium driven over its DevTools protocol, with the standard library only: a page served
from a folder on 127.0.0.1, clicks on the game's canvas and its pixels."""

import base64
import contextlib
import functools
import http.server
import json
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import threading
import time
import urllib.request

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-default-apps", "--mute-audio", "--remote-debugging-port=0", "--window-size=1024,768",
]


def poll(condition, what, seconds=30.0):
    """The first true value of condition(), asked again and again until a generous deadline."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError("no " + what + " within %.0f s" % seconds)
        time.sleep(0.02)


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


@contextlib.contextmanager
def serve(folder):
    """The folder over HTTP on 127.0.0.1 at a free port; yields the base address."""
    handler = functools.partial(_QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


class WebSocket:
    """Just enough of RFC 6455 for DevTools: masked text frames out, whole messages in."""

    def __init__(self, url):
        host, _, path = url[len("ws://"):].partition("/")
        name, _, port = host.partition(":")
        self.sock = socket.create_connection((name, int(port)))
        key = base64.b64encode(os.urandom(16)).decode()
        self.sock.sendall(("GET /%s HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                           "Sec-WebSocket-Key: %s\r\nSec-WebSocket-Version: 13\r\n\r\n" % (path, host, key)).encode())
        header = b""
        while b"\r\n\r\n" not in header:
            header += self.sock.recv(1)
        if b" 101 " not in header.split(b"\r\n")[0]:
            raise ConnectionError(header.decode(errors="replace"))

    def _read(self, count):
        data = b""
        while len(data) < count:
            chunk = self.sock.recv(count - len(data))
            if not chunk:
                raise ConnectionError("DevTools closed the connection")
            data += chunk
        return data

    def send(self, text):
        payload = text.encode()
        mask = os.urandom(4)
        length = len(payload)
        if length < 126:
            header = struct.pack("!BB", 0x81, 0x80 | length)
        elif length < 65536:
            header = struct.pack("!BBH", 0x81, 0x80 | 126, length)
        else:
            header = struct.pack("!BBQ", 0x81, 0x80 | 127, length)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def receive(self):
        message = b""
        while True:
            first, second = self._read(2)
            length = second & 0x7F
            if length == 126:
                length = struct.unpack("!H", self._read(2))[0]
            elif length == 127:
                length = struct.unpack("!Q", self._read(8))[0]
            payload = self._read(length)
            if first & 0x0F == 0x9:  # ping
                continue
            message += payload
            if first & 0x80:
                return message.decode()


class Browser:
    """One headless Chromium with a fresh profile and one page, closed on exit."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="klakoria-chromium-")
        binary = shutil.which("chromium") or shutil.which("chromium-browser")
        if not binary:
            raise FileNotFoundError("chromium is not installed (./dev setup installs it)")
        self.process = subprocess.Popen([binary, *CHROMIUM_FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        port = poll(lambda: os.path.exists(port_file) and open(port_file).read().split("\n")[0], "DevTools port")
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%s/json/list" % port))
        page = next(t for t in targets if t["type"] == "page")
        self.ws = WebSocket(page["webSocketDebuggerUrl"])
        self.next_id = 0
        self.console = []
        self.call("Runtime.enable")
        self.call("Page.enable")

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *args):
        self.close()

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.receive())
            if message.get("method") == "Runtime.consoleAPICalled":
                self.console.append(" ".join(str(a.get("value", "")) for a in message["params"]["args"]))
            elif message.get("method") == "Runtime.exceptionThrown":
                details = message["params"]["exceptionDetails"]
                self.console.append("exception: " + details.get("exception", {}).get("description", details["text"]))
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message["result"]

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(expression + ": " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def open(self, url):
        self.call("Page.navigate", url=url)

    def reload(self):
        self.call("Page.reload", ignoreCache=True)

    def picture(self):
        """The canvas as the game drew it: (width, height, RGBA bytes), or None before it exists."""
        encoded = self.evaluate("""(() => {
            const c = document.getElementById('canvas');
            if (!c || !c.width) return null;
            const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
            let s = '';
            for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode.apply(null, d.subarray(i, i + 0x8000));
            return [c.width, c.height, btoa(s)];
        })()""")
        return encoded and (encoded[0], encoded[1], base64.b64decode(encoded[2]))

    def click(self, x, y):
        """A left click on the point (x, y) of the 800 x 600 picture, wherever the page shows it."""
        page_x, page_y = self.evaluate("""(() => {
            const r = document.getElementById('canvas').getBoundingClientRect();
            return [r.left + (%f + 0.5) * r.width / 800, r.top + (%f + 0.5) * r.height / 600];
        })()""" % (x, y))
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=page_x, y=page_y, button="left", clickCount=1)

    def screenshot(self, path):
        with open(path, "wb") as out:
            out.write(base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"]))
